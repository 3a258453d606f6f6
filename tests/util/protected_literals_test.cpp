#include "util/protected_literals.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "literal_encipher/literal_table.h"
#include "util/protected_literal_list.h"

namespace pelmar {
namespace {

std::string readText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

LiteralTable sourceTable() {
    const std::string table = readText(PELMAR_LITERAL_TABLE);
    EXPECT_FALSE(table.empty()) << "cannot read " << PELMAR_LITERAL_TABLE;
    return parseLiteralTable(table);
}

TEST(ProtectedLiterals, EveryTableEntryRevealsItsText) {
    const LiteralTable table = sourceTable();
    ASSERT_EQ(table.error, "");
    ASSERT_EQ(table.entries.size(), kProtectedLiteralList.size());
    std::map<std::string_view, const ProtectedLiteral*> built(kProtectedLiteralList.begin(),
                                                              kProtectedLiteralList.end());
    for (const LiteralEntry& entry : table.entries) {
        const auto literal = built.find(entry.identifier);
        ASSERT_NE(literal, built.end()) << entry.identifier << " was not generated";
        EXPECT_EQ(std::string(reveal(*literal->second)), entry.text) << entry.identifier;
    }
}

TEST(ProtectedLiterals, GeneratedCodeHoldsNoTextInTheClear) {
    const LiteralTable table = sourceTable();
    const std::string generated = readText(PELMAR_LITERAL_SOURCE) + readText(PELMAR_LITERAL_HEADER);
    ASSERT_FALSE(generated.empty());
    for (const LiteralEntry& entry : table.entries) {
        if (entry.text.size() >= 4) {
            EXPECT_EQ(generated.find(entry.text), std::string::npos) << entry.identifier;
        }
    }
}

TEST(ProtectedLiterals, TextsOtherCodeReliesOn) {
    EXPECT_STREQ(reveal(kLiteralSettingsFolder), "pelmar-vantrell");
    EXPECT_STREQ(reveal(kLiteralLogFolder), "Logs");
    EXPECT_STREQ(reveal(kLiteralLogFileName), "transfer.log");
    EXPECT_STREQ(reveal(kLiteralAboutVersionFormat), "Pelmar Vantrell version %s");
    EXPECT_STREQ(reveal(kLiteralPhotoStatus), "Reading Photos...");
}

}  // namespace
}  // namespace pelmar
