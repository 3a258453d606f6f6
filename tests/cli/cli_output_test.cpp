#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/json_writer.h"
#include "cli/output_buffer.h"
#include "cli/text_table.h"

namespace pelmar::cli {
namespace {

// Captures what an OutputBuffer writes.
class Captured {
  public:
    Captured() : file_(std::tmpfile()) {}
    ~Captured() { std::fclose(file_); }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;
    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        std::rewind(file_);
        std::string out;
        int c = 0;
        while ((c = std::fgetc(file_)) != EOF) {
            out.push_back(static_cast<char>(c));
        }
        return out;
    }

  private:
    std::FILE* file_;
};

TEST(JsonWriterTest, WritesNestedValuesWithEscapes) {
    Captured captured;
    {
        OutputBuffer out(captured.file());
        JsonWriter json(out);
        json.beginArray();
        json.beginObject();
        json.key("name");
        json.string("quote \" backslash \\ tab \t bell \x07 \xC3\xA9");
        json.key("items");
        json.beginArray();
        json.number(1);
        json.number(-2);
        json.endArray();
        json.key("none");
        json.null();
        json.endObject();
        json.string("x");
        json.endArray();
    }
    EXPECT_EQ(captured.text(),
              "[\n{\"name\":\"quote \\\" backslash \\\\ tab \\t bell \\u0007 \xC3\xA9\","
              "\"items\":[1,-2],\"none\":null},\n\"x\"\n]\n");
}

TEST(JsonWriterTest, EmptyArrayStaysOnOneLine) {
    Captured captured;
    {
        OutputBuffer out(captured.file());
        JsonWriter json(out);
        json.beginArray();
        json.endArray();
    }
    EXPECT_EQ(captured.text(), "[]\n");
}

TEST(TextTableTest, MeasuresWideCharactersAndCutsWithAnEllipsis) {
    EXPECT_EQ(displayWidth("abc"), 3U);
    EXPECT_EQ(displayWidth("\xE6\x97\xA5\xE6\x9C\xAC"), 4U) << "two wide characters";
    EXPECT_EQ(displayWidth("e\xCC\x81"), 1U) << "a combining accent takes no cell";
    EXPECT_EQ(fitToWidth("abcdef", 4), "abc\xE2\x80\xA6");
    EXPECT_EQ(fitToWidth("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 4), "\xE6\x97\xA5\xE2\x80\xA6")
        << "a wide character that would overflow is left out";
    EXPECT_EQ(fitToWidth("abc", 3), "abc");
}

TEST(TextTableTest, AlignsColumnsByDisplayWidth) {
    Captured captured;
    {
        OutputBuffer out(captured.file());
        const std::vector<std::vector<std::string>> rows = {{"\xE6\x97\xA5", "1"}, {"ab", "100"}};
        printTable(out, {{"Name", false, 10}, {"N", true, 5}}, rows.size(),
                   [&](std::size_t row, std::vector<std::string>& cells) { cells = rows[row]; });
    }
    EXPECT_EQ(captured.text(),
              "Name    N\n"
              "\xE6\x97\xA5      1\n"
              "ab    100\n");
}

}  // namespace
}  // namespace pelmar::cli
