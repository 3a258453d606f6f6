#include "library/image_name.h"

#include <gtest/gtest.h>

#include "support/artwork_database_bytes.h"

namespace pelmar {
namespace {

TEST(ParseImageName, DecodesTheNameInEitherEncodingAndRefusesDamagedText) {
    const struct {
        const char* name;
        std::vector<std::uint8_t> text;
        std::uint8_t encoding;
        std::string expected;
    } cases[] = {
        {"UTF-8", {':', 'F', '1'}, 1, ":F1"},
        {"encoding 0 is UTF-8 too", {0xC3, 0xA9}, 0, "\xC3\xA9"},
        {"UTF-16", {':', 0, 0xE9, 0}, 2, ":\xC3\xA9"},
        {"a surrogate pair", {0x3D, 0xD8, 0x00, 0xDE}, 2, "\xF0\x9F\x98\x80"},
        {"ends at a NUL", {'a', 0, 'b', 0, 0, 0, 'c', 0}, 2, "ab"},
        {"a lone high surrogate", {0x3D, 0xD8, 'a', 0}, 2, ""},
        {"a lone low surrogate", {0x00, 0xDE}, 2, ""},
        {"an odd byte count", {'a', 0, 'b'}, 2, ""},
        {"ill-formed UTF-8", {':', 0xC3}, 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> string(12, 0);
        test::put32(string, 0, static_cast<std::uint32_t>(c.text.size()));
        string[4] = c.encoding;
        string.insert(string.end(), c.text.begin(), c.text.end());
        const std::vector<std::uint8_t> body =
            test::withBody("mhni", 76, 1, test::withBody("mhod", 24, 3, string));
        const std::optional<ImageName> parsed = parseImageName(body);
        ASSERT_TRUE(parsed.has_value()) << c.name;
        EXPECT_EQ(parsed->fileName, c.expected) << c.name;
    }
    EXPECT_FALSE(parseImageName(test::recordHeader("mhnx", 76, 76)).has_value());
    std::vector<std::uint8_t> cut = test::recordHeader("mhni", 76, 76);
    test::put32(cut, 16, 1060);
    test::put32(cut, 20, 7);
    const std::optional<ImageName> parsed = parseImageName(std::span(cut).first(20));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->formatId, 1060U);
    EXPECT_EQ(parsed->offset, 0U) << "fields past the end read as zero";
}

}  // namespace
}  // namespace pelmar
