#include "literal_encipher/literal_table.h"

#include <gtest/gtest.h>

#include <string>

namespace pelmar {
namespace {

TEST(LiteralTable, ReadsIdentifiersAndTextsSkippingCommentsAndBlankLines) {
    const LiteralTable table = parseLiteralTable(
        "# a comment\n"
        "\n"
        "kFirst \"Reading Photos...\"\n"
        "  kSecond\t\t\"\"   \r\n"
        "k_3 \"ends without a newline\"");
    ASSERT_EQ(table.error, "");
    ASSERT_EQ(table.entries.size(), 3u);
    EXPECT_EQ(table.entries[0].identifier, "kFirst");
    EXPECT_EQ(table.entries[0].text, "Reading Photos...");
    EXPECT_EQ(table.entries[1].identifier, "kSecond");
    EXPECT_EQ(table.entries[1].text, "");
    EXPECT_EQ(table.entries[2].text, "ends without a newline");
}

TEST(LiteralTable, EscapesBecomeTheirBytes) {
    const LiteralTable table = parseLiteralTable(R"(kText "q\"b\\n\nr\rt\tx\x41\xfF end  ")");
    ASSERT_EQ(table.error, "");
    ASSERT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.entries[0].text, "q\"b\\n\nr\rt\tx\x41\xFF end  ");
}

TEST(LiteralTable, LongestTextIsOneThousandSixteenBytes) {
    const std::string fits = "kText \"" + std::string(1016, 'x') + "\"";
    EXPECT_EQ(parseLiteralTable(fits).error, "");
    const std::string tooLong = "kText \"" + std::string(1017, 'x') + "\"";
    EXPECT_EQ(parseLiteralTable(tooLong).error, "line 1: the text is longer than 1016 bytes");
}

TEST(LiteralTable, FaultsNameTheirLineAndKeepTheLinesBefore) {
    const LiteralTable table = parseLiteralTable("kGood \"ok\"\n\nkBad \"no end\n");
    EXPECT_EQ(table.error, "line 3: the text has no closing quote");
    ASSERT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.entries[0].identifier, "kGood");
}

TEST(LiteralTable, RejectsMalformedLines) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"1st \"x\"", "line 1: expected an identifier"},
        {"kName\"x\"", "line 1: expected a blank after the identifier"},
        {"kName", "line 1: expected a blank after the identifier"},
        {"kName x", "line 1: expected a quoted text"},
        {"kName \"x\" trailing", "line 1: unexpected characters after the text"},
        {"kName \"x\\", "line 1: the text ends inside an escape"},
        {"kName \"\\q\"", "line 1: unknown escape \\q"},
        {"kName \"\\x4\"", "line 1: \\x needs two hexadecimal digits"},
        {"kName \"\\x4", "line 1: \\x needs two hexadecimal digits"},
        {"kName \"\\x00\"", "line 1: the text holds a NUL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseLiteralTable(c.line).error, c.error) << c.line;
    }
    EXPECT_EQ(parseLiteralTable(std::string("kName \"a\0b\"", 11)).error,
              "line 1: the text holds a NUL");
}

TEST(LiteralTable, RejectsADuplicateIdentifier) {
    EXPECT_EQ(parseLiteralTable("kName \"a\"\nkOther \"b\"\nkName \"c\"\n").error,
              "line 3: duplicate identifier kName");
}

}  // namespace
}  // namespace pelmar
