#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace pelmar {

// Texts from the player are stored in the system's 8-bit code page when it can represent them,
// and in UTF-8 when it cannot. Nothing else marks which: a stored text is UTF-8 exactly when it is
// valid UTF-8 and not plain ASCII. This class does every conversion into and out of that stored
// form, and the comparisons that must treat both alike.
class TextCodec {
  public:
    // `charset` is an iconv character set name ("UTF-8", "CP1252", ...). An unknown name falls
    // back to UTF-8.
    explicit TextCodec(std::string_view charset);
    ~TextCodec();
    TextCodec(const TextCodec&) = delete;
    TextCodec& operator=(const TextCodec&) = delete;

    // The code page of this process: PELMAR_CODEPAGE when set, else the locale's character set.
    [[nodiscard]] static const TextCodec& system();

    [[nodiscard]] const std::string& charset() const { return charset_; }

    // Stored form of UTF-16LE text, at most `maxBytes` long and never ending inside a character.
    // A lone surrogate becomes U+FFFD; the text ends at the first NUL.
    [[nodiscard]] std::string fromUtf16le(std::span<const std::uint8_t> bytes,
                                          std::size_t maxBytes) const;
    // Stored form of UTF-8 text (ill-formed bytes become U+FFFD), under the same rules.
    [[nodiscard]] std::string fromUtf8(std::string_view text, std::size_t maxBytes) const;

    // Valid UTF-8 for a stored text: UTF-8 stays, code-page text is converted, and bytes that
    // are neither become U+FFFD.
    [[nodiscard]] std::string toUtf8(std::string_view stored) const;

    // Key that orders stored texts without regard to case; compare keys byte-wise.
    [[nodiscard]] std::string foldKey(std::string_view stored) const;
    // Lower-cased UTF-8 form of a stored text.
    [[nodiscard]] std::string toLower(std::string_view stored) const;
    void appendLower(std::string& out, std::string_view stored) const;

    // Bytes of the character that starts at `pos` of a stored text (at least 1, at most what is
    // left): UTF-8 texts step by UTF-8 sequences, code-page texts by the code page's characters,
    // so a trail byte of a double-byte character is never taken for a character of its own.
    [[nodiscard]] std::size_t characterLength(std::string_view stored, std::size_t pos) const;
    // The longest prefix of a stored text that fits in `maxBytes` without splitting a character.
    [[nodiscard]] std::size_t wholeCharacterPrefix(std::string_view stored,
                                                   std::size_t maxBytes) const;

    // <0, 0 or >0, comparing without regard to case.
    [[nodiscard]] int compareNoCase(std::string_view a, std::string_view b) const;

  private:
    struct Converters;

    [[nodiscard]] std::string fromCodePoints(std::u32string_view text, std::size_t maxBytes) const;
    // The stored form of the characters `reader` yields (about `characters` of them) when every
    // one is a single byte of the code page and fromCodePoints would keep the bytes; false
    // otherwise.
    template <typename Reader>
    bool singleBytes(Reader& reader, std::size_t characters, std::size_t maxBytes,
                     std::string& out) const;
    [[nodiscard]] std::string codePageToUtf8(std::string_view stored) const;

    std::string charset_;
    // True when the code page is UTF-8, or ASCII (whose every unmappable text falls back to
    // UTF-8 anyway): stored texts are then exactly UTF-8 and no conversion library is needed.
    bool utf8Native_ = true;
    std::unique_ptr<Converters> converters_;
};

}  // namespace pelmar
