#include "util/text_codec.h"

#include <gtest/gtest.h>

#include "support/database_bytes.h"

namespace pelmar {
namespace {

std::string fromUtf16(const TextCodec& codec, std::u16string_view text, std::size_t max = 256) {
    return codec.fromUtf16le(test::utf16le(text), max);
}

TEST(TextCodec, Utf8SystemsStoreEveryTextAsUtf8) {
    const TextCodec codec("UTF-8");
    EXPECT_EQ(fromUtf16(codec, u"Caf\u00E9 \u65E5\u672C"), "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(fromUtf16(codec, u"\U0001F3B5"), "\xF0\x9F\x8E\xB5");
    EXPECT_EQ(codec.fromUtf8("Caf\xC3\xA9", 256), "Caf\xC3\xA9");
}

TEST(TextCodec, AsciiLocaleFallsBackToUtf8LikeAUtf8Locale) {
    const TextCodec codec("ANSI_X3.4-1968");
    EXPECT_EQ(fromUtf16(codec, u"plain"), "plain");
    EXPECT_EQ(fromUtf16(codec, u"\u00E9"), "\xC3\xA9");
}

TEST(TextCodec, CodePageHoldsWhatItCanAndUtf8TheRest) {
    const TextCodec codec("CP1252");
    EXPECT_EQ(fromUtf16(codec, u"Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
    EXPECT_EQ(fromUtf16(codec, u"Caf\u00E9 \u65E5"), "Caf\xC3\xA9 \xE6\x97\xA5")
        << "one unmappable character makes the whole text UTF-8";
    EXPECT_EQ(codec.fromUtf8("D\xC3\xA9j\xC3\xA0", 256), "D\xE9j\xE0");
}

TEST(TextCodec, CodePageTextThatWouldReadAsUtf8IsStoredAsUtf8) {
    const TextCodec codec("CP1252");
    const std::string stored = fromUtf16(codec, u"Don\u00C2\u00B4t");
    EXPECT_EQ(stored, "Don\xC3\x82\xC2\xB4t") << "in CP1252 it would be the UTF-8 for U+00B4";
    EXPECT_EQ(codec.toUtf8(stored), "Don\xC3\x82\xC2\xB4t");
}

TEST(TextCodec, BrokenInputBecomesReplacementCharacters) {
    const TextCodec codec("UTF-8");
    EXPECT_EQ(fromUtf16(codec, std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(fromUtf16(codec, std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
    EXPECT_EQ(codec.fromUtf8("a\xFF"
                             "b",
                             256),
              "a\xEF\xBF\xBD"
              "b");
    const TextCodec western("CP1252");
    EXPECT_EQ(fromUtf16(western, std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextCodec, TextEndsAtTheFirstNul) {
    const TextCodec codec("UTF-8");
    EXPECT_EQ(fromUtf16(codec, std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(codec.fromUtf8(std::string_view("ab\0cd", 5), 256), "ab");
    const TextCodec western("CP1252");
    EXPECT_EQ(fromUtf16(western, std::u16string(u"\u00E9\0cd", 4)), "\xE9");
}

TEST(TextCodec, CapacityCutsAtTheLastWholeCharacter) {
    const TextCodec utf8("UTF-8");
    EXPECT_EQ(fromUtf16(utf8, u"\u00E9\u00E9\u00E9", 5), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(fromUtf16(utf8, u"ab\U0001F3B5", 5), "ab");
    const TextCodec western("CP1252");
    EXPECT_EQ(fromUtf16(western, u"\u00E9\u00E9\u00E9", 2), "\xE9\xE9");
    EXPECT_EQ(fromUtf16(western, u"a\u65E5", 3), "a") << "UTF-8 fallback, then cut";
    const TextCodec japanese("SHIFT_JIS");
    ASSERT_EQ(japanese.charset(), "SHIFT_JIS");
    EXPECT_EQ(fromUtf16(japanese, u"a\u65E5\u672C", 4), "a\x93\xFA")
        << "a two-byte character that does not fit is left out whole";
}

TEST(TextCodec, ToUtf8ConvertsCodePageTextAndKeepsUtf8) {
    const TextCodec western("CP1252");
    EXPECT_EQ(western.toUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(western.toUtf8("\xE6\x97\xA5"), "\xE6\x97\xA5") << "a UTF-8 fallback text";
    EXPECT_EQ(western.toUtf8("\x81"), "\xEF\xBF\xBD") << "undefined in the code page";
    const TextCodec utf8("UTF-8");
    EXPECT_EQ(utf8.toUtf8("ok\xFF"), "ok\xEF\xBF\xBD");
}

TEST(TextCodec, ComparesWithoutRegardToCaseAcrossScripts) {
    const TextCodec codec("UTF-8");
    EXPECT_EQ(codec.compareNoCase("abba", "ABBA"), 0);
    EXPECT_EQ(codec.compareNoCase("\xC3\x84rger", "\xC3\xA4rger"), 0) << "Ärger / ärger";
    EXPECT_EQ(codec.compareNoCase("\xD0\x90", "\xD0\xB0"), 0) << "Cyrillic А / а";
    EXPECT_LT(codec.compareNoCase("alpha", "Beta"), 0);
    EXPECT_LT(codec.compareNoCase("Zed", "zee"), 0);
    EXPECT_GT(codec.compareNoCase("b", "A"), 0);
    EXPECT_LT(codec.compareNoCase("_x", "ax"), 0) << "folding goes to lower case";
    const TextCodec western("CP1252");
    EXPECT_EQ(western.compareNoCase("\xC9t\xE9", "\xC3\xA9T\xC3\xA9"), 0)
        << "code-page and UTF-8 forms of one name compare equal";
}

TEST(TextCodec, InvalidBytesCompareAsBytes) {
    const TextCodec codec("UTF-8");
    EXPECT_NE(codec.compareNoCase("a\xFF", "a\xFE"), 0);
    EXPECT_EQ(codec.compareNoCase("A\xFF", "a\xFF"), 0);
}

TEST(TextCodec, LowersForSearch) {
    const TextCodec codec("UTF-8");
    EXPECT_EQ(codec.toLower("\xC3\x89T\xC3\x89 Stra\xC3\x9F"
                            "E"),
              "\xC3\xA9t\xC3\xA9 stra\xC3\x9F"
              "e");
    const TextCodec western("CP1252");
    EXPECT_EQ(western.toLower("\xC9T\xC9"), "\xC3\xA9t\xC3\xA9");
}

TEST(TextCodec, StepsOverWholeCharacters) {
    const TextCodec japanese("SHIFT_JIS");
    // U+30BD in Shift_JIS is 83 5C: its trail byte is the code of a backslash.
    const std::string so =
        "a\x83\x5C"
        "b";
    EXPECT_EQ(japanese.characterLength(so, 0), 1U);
    EXPECT_EQ(japanese.characterLength(so, 1), 2U);
    EXPECT_EQ(japanese.characterLength(so, 3), 1U);
    EXPECT_EQ(japanese.wholeCharacterPrefix(so, 2), 1U);
    const TextCodec utf8("UTF-8");
    EXPECT_EQ(utf8.characterLength("\xE6\x97\xA5", 0), 3U);
    EXPECT_EQ(utf8.wholeCharacterPrefix("a\xE6\x97\xA5", 3), 1U);
    EXPECT_EQ(utf8.characterLength("\xFF", 0), 1U) << "a stray byte is a character of its own";
    const TextCodec western("CP1252");
    EXPECT_EQ(western.wholeCharacterPrefix("\xE9\xE9\xE9", 2), 2U);
}

TEST(TextCodec, UnknownCharsetBehavesAsUtf8) {
    const TextCodec codec("NO-SUCH-CHARSET");
    EXPECT_EQ(fromUtf16(codec, u"\u00E9"), "\xC3\xA9");
}

}  // namespace
}  // namespace pelmar
