#include "util/text_codec.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <random>

#include "support/database_bytes.h"
#include "util/case_fold.h"
#include "util/utf8.h"

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
    EXPECT_EQ(fromUtf16(codec, std::u16string(u"abcdefghi\0jk", 12)), "abcdefghi");
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

// Every ASCII byte at every offset of a word, alone and between non-ASCII characters.
TEST(TextCodec, LowersAndFoldsEveryAsciiByteWhereverItStands) {
    for (const std::string& around : {std::string(), std::string("\xC3\x89")}) {
        for (std::size_t lead = 0; lead < 9; ++lead) {
            std::string text = around + std::string(lead, 'Q');
            std::string expected = around == "" ? "" : "\xC3\xA9";
            expected += std::string(lead, 'q');
            for (int c = 1; c < 0x80; ++c) {
                text.push_back(static_cast<char>(c));
                expected.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
            }
            text += around;
            expected += around == "" ? "" : "\xC3\xA9";
            EXPECT_EQ(toLowerUtf8(text), expected) << lead;
            EXPECT_EQ(caseFold(text), expected) << lead;
        }
    }
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

std::string utf8Of(std::u32string_view text, std::size_t maxBytes) {
    std::string out;
    for (const char32_t cp : text) {
        utf8::append(out, cp);
    }
    out.resize(utf8::wholeCharPrefix(out, maxBytes));
    return out;
}

// The stored form by its definition: one conversion of the whole text, kept when every
// character maps and the bytes cannot be taken for UTF-8, else the text's UTF-8.
std::string storedFormByDefinition(const char* charset, std::u32string_view text,
                                   std::size_t maxBytes) {
    const iconv_t cd = iconv_open(charset, "UTF-32LE");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << charset;
    std::string input;
    for (const char32_t cp : text) {
        for (int b = 0; b < 4; ++b) {
            input.push_back(static_cast<char>((cp >> (8 * b)) & 0xFF));
        }
    }
    const auto convert = [&](std::size_t capacity, std::string& out) {
        out.assign(capacity, '\0');
        char* in = input.data();
        std::size_t inLeft = input.size();
        char* dst = out.data();
        std::size_t dstLeft = capacity;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        const bool mapped = rc == 0 || (rc == static_cast<std::size_t>(-1) && errno == E2BIG);
        if (inLeft == 0 && mapped) {
            iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        }
        out.resize(capacity - dstLeft);
        return mapped;
    };
    std::string out;
    bool keep = convert(text.size() * 8 + 16, out);
    if (keep && out.size() > maxBytes) {
        convert(maxBytes, out);
    }
    iconv_close(cd);
    keep = keep && (utf8::isAscii(out) || !utf8::isValid(out));
    return keep ? out : utf8Of(text, maxBytes);
}

// Random texts over characters that single-byte, double-byte, shifting and EBCDIC code pages
// each treat differently, read from UTF-16 and from UTF-8, must come out exactly as the
// definition gives them at every capacity.
TEST(TextCodec, StoredFormsFollowTheirDefinitionInEveryCodePage) {
    // 0 stands for a broken character: a lone surrogate in UTF-16, a stray byte in UTF-8.
    const std::u32string pool = {U'a',  U'Z',   U'+',   U'~',    U'\\',  0xE9,  0xDF,
                                 0xC2,  0xB4,   0xA0,   0x20AC,  0x2122, 0x152, 0x44F,
                                 0x3C3, 0x65E5, 0xFF71, 0x1F3B5, 0xFFFD, 0};
    std::mt19937 random(20240607);
    std::vector<std::u32string> texts = {U"", U"plain ascii text"};
    for (int i = 0; i < 400; ++i) {
        std::u32string text(random() % 12, U' ');
        for (char32_t& cp : text) {
            cp = pool[random() % pool.size()];
        }
        texts.push_back(text);
    }
    for (const char* charset : {"UTF-8", "CP1252", "SHIFT_JIS", "KOI8-R", "ISO-8859-7", "CP437",
                                "IBM037", "UTF-7", "ISO-2022-JP"}) {
        const TextCodec codec(charset);
        ASSERT_EQ(codec.charset(), charset);
        for (const std::u32string& text : texts) {
            std::u16string utf16;
            std::string utf8;
            std::u32string read;
            for (const char32_t cp : text) {
                if (cp == 0) {
                    utf16.push_back(0xDC00);
                    utf8.push_back('\xFF');
                    read.push_back(utf8::kReplacement);
                } else {
                    utf8::append(utf8, cp);
                    read.push_back(cp);
                    if (cp >= 0x10000) {
                        utf16.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                        utf16.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
                    } else {
                        utf16.push_back(static_cast<char16_t>(cp));
                    }
                }
            }
            for (const std::size_t max : {0, 1, 2, 3, 5, 256}) {
                const std::string expected = codec.charset() == "UTF-8"
                                                 ? utf8Of(read, max)
                                                 : storedFormByDefinition(charset, read, max);
                SCOPED_TRACE(testing::Message() << charset << ", " << utf8 << ", cut at " << max);
                EXPECT_EQ(codec.fromUtf16le(test::utf16le(utf16), max), expected);
                EXPECT_EQ(codec.fromUtf8(utf8, max), expected);
            }
        }
    }
}

// A library holds hundreds of thousands of texts: none may keep the room its conversion took.
TEST(TextCodec, StoredTextsKeepNoSpareRoom) {
    const TextCodec western("CP1252");
    const TextCodec japanese("SHIFT_JIS");
    const std::u16string longer(40, u'\u00E9');
    for (const std::string& stored :
         {fromUtf16(western, longer + u"\u65E5"), fromUtf16(japanese, longer),
          fromUtf16(japanese, std::u16string(40, u'\u65E5')), western.fromUtf8("\xC3\xA9x", 256)}) {
        EXPECT_LE(stored.capacity(), std::max<std::size_t>(2 * stored.size(), 15)) << stored;
    }
}

TEST(TextCodec, UnknownCharsetBehavesAsUtf8) {
    const TextCodec codec("NO-SUCH-CHARSET");
    EXPECT_EQ(fromUtf16(codec, u"\u00E9"), "\xC3\xA9");
}

}  // namespace
}  // namespace pelmar
