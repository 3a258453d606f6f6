#include "util/text_codec.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <iconv.h>
#include <langinfo.h>

#include "util/case_fold.h"
#include "util/utf8.h"

namespace pelmar {

namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool isUtf8Compatible(std::string_view charset) {
    const std::string name = upperAscii(charset);
    return name.empty() || name == "UTF-8" || name == "UTF8" || name == "ANSI_X3.4-1968" ||
           name == "ASCII" || name == "US-ASCII" || name == "646";
}

const auto kInvalidHandle = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

std::string utf8Capped(std::string text, std::size_t maxBytes) {
    text.resize(utf8::wholeCharPrefix(text, maxBytes));
    return text;
}

// Reads the characters of UTF-16LE text up to its first NUL unit, a lone surrogate as U+FFFD.
class Utf16leReader {
  public:
    explicit Utf16leReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes), units_(bytes.size() / 2) {}

    // False at the end of the text.
    bool next(char32_t& cp) {
        if (pos_ >= units_) {
            return false;
        }
        const char16_t unit = unitAt(pos_);
        if (unit == 0) {
            pos_ = units_;
            return false;
        }
        ++pos_;
        if (unit < 0xD800 || unit > 0xDFFF) {
            cp = unit;
            return true;
        }
        if (unit <= 0xDBFF && pos_ < units_) {
            const char16_t low = unitAt(pos_);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++pos_;
                cp = 0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u);
                return true;
            }
        }
        cp = utf8::kReplacement;
        return true;
    }

  private:
    [[nodiscard]] char16_t unitAt(std::size_t i) const {
        return static_cast<char16_t>(bytes_[2 * i] | (bytes_[2 * i + 1] << 8));
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t units_;
    std::size_t pos_ = 0;
};

// Reads the characters of UTF-8 text without a NUL, an ill-formed byte as U+FFFD.
class Utf8Reader {
  public:
    explicit Utf8Reader(std::string_view text) : text_(text) {}

    bool next(char32_t& cp) {
        if (pos_ >= text_.size()) {
            return false;
        }
        if (!utf8::decode(text_, pos_, cp)) {
            cp = utf8::kReplacement;
        }
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

template <typename Reader>
std::u32string codePoints(Reader reader) {
    std::u32string out;
    char32_t cp = 0;
    while (reader.next(cp)) {
        out.push_back(cp);
    }
    return out;
}

constexpr std::size_t utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Four UTF-16LE units are looked at a time, on little-endian hosts as one word.
constexpr std::uint64_t kUnitsAboveAscii = 0xFF80FF80FF80FF80u;
constexpr std::uint64_t kUnitLowBits = 0x0001000100010001u;
constexpr std::uint64_t kUnitTopBits = 0x8000800080008000u;

// How many units from the start are ASCII characters other than NUL.
std::size_t asciiUnits(std::span<const std::uint8_t> bytes) {
    const std::size_t units = bytes.size() / 2;
    std::size_t ascii = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // A unit of 0 is the only one below 0x80 whose decrement sets its top bit.
        for (std::uint64_t w = 0; units - ascii >= 4; ascii += 4) {
            std::memcpy(&w, bytes.data() + 2 * ascii, 8);
            if ((w & kUnitsAboveAscii) != 0 || ((w - kUnitLowBits) & kUnitTopBits) != 0) {
                break;
            }
        }
    }
    while (ascii < units && bytes[2 * ascii + 1] == 0 && bytes[2 * ascii] != 0 &&
           bytes[2 * ascii] < 0x80) {
        ++ascii;
    }
    return ascii;
}

// Fills `out` with the low bytes of the first out.size() units, which are ASCII.
void narrowAsciiUnits(std::span<const std::uint8_t> bytes, std::string& out) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (std::uint64_t w = 0; out.size() - i >= 4; i += 4) {
            std::memcpy(&w, bytes.data() + 2 * i, 8);
            w = (w | (w >> 8)) & 0x0000FFFF0000FFFFu;
            const auto four = static_cast<std::uint32_t>(w | (w >> 16));
            std::memcpy(out.data() + i, &four, 4);
        }
    }
    for (; i < out.size(); ++i) {
        out[i] = static_cast<char>(bytes[2 * i]);
    }
}

// UTF-8 of UTF-16LE text, cut to whole characters within `maxBytes`, sized once and written in
// place.
std::string utf16leToUtf8Capped(std::span<const std::uint8_t> bytes, std::size_t maxBytes) {
    // Most tags are plain ASCII: one byte of output per unit.
    const std::size_t units = bytes.size() / 2;
    const std::size_t ascii = asciiUnits(bytes);
    if (ascii == units || (bytes[2 * ascii] == 0 && bytes[2 * ascii + 1] == 0)) {
        std::string out(std::min(ascii, maxBytes), '\0');
        narrowAsciiUnits(bytes, out);
        return out;
    }

    std::size_t length = 0;
    {
        Utf16leReader reader(bytes);
        char32_t cp = 0;
        while (reader.next(cp) && utf8Length(cp) <= maxBytes - length) {
            length += utf8Length(cp);
        }
    }
    std::string out(length, '\0');
    char* dst = out.data();
    char* const end = dst + length;
    Utf16leReader reader(bytes);
    char32_t cp = 0;
    while (dst != end && reader.next(cp)) {
        if (cp < 0x80) {
            *dst++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *dst++ = static_cast<char>(0xC0 | (cp >> 6));
            *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *dst++ = static_cast<char>(0xE0 | (cp >> 12));
            *dst++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *dst++ = static_cast<char>(0xF0 | (cp >> 18));
            *dst++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *dst++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *dst++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace

struct TextCodec::Converters {
    std::mutex mutex;
    iconv_t toCodePage = kInvalidHandle;
    iconv_t fromCodePage = kInvalidHandle;
    // The code page's byte for each code point that is one byte on its own and converts back
    // to itself, 0 for the others; see buildSingleByteTable.
    std::vector<std::uint8_t> singleByte;

    void buildSingleByteTable();

    ~Converters() {
        if (toCodePage != kInvalidHandle) {
            iconv_close(toCodePage);
        }
        if (fromCodePage != kInvalidHandle) {
            iconv_close(fromCodePage);
        }
    }
};

// A text whose every character is one byte in this table converts to those bytes side by side:
// each was converted alone from the initial shift state, with nothing to finish it, so none
// leaves that state. Iconv then needs to see only the texts with other characters.
void TextCodec::Converters::buildSingleByteTable() {
    for (unsigned byte = 1; byte <= 0xFF; ++byte) {
        char in[1] = {static_cast<char>(byte)};
        char decoded[16];
        char* inPtr = in;
        std::size_t inLeft = 1;
        char* dst = decoded;
        std::size_t dstLeft = sizeof decoded;
        iconv(fromCodePage, nullptr, nullptr, nullptr, nullptr);
        if (iconv(fromCodePage, &inPtr, &inLeft, &dst, &dstLeft) != 0 ||
            iconv(fromCodePage, nullptr, nullptr, &dst, &dstLeft) != 0) {
            continue;
        }
        const std::string_view utf8(decoded, sizeof decoded - dstLeft);
        std::size_t pos = 0;
        char32_t cp = 0;
        if (!utf8::decode(utf8, pos, cp) || pos != utf8.size() || cp == 0 || cp > 0xFFFF) {
            continue;
        }

        char wide[4];
        for (std::size_t b = 0; b < 4; ++b) {
            wide[b] = static_cast<char>((cp >> (8 * b)) & 0xFF);
        }
        char encoded[16];
        inPtr = wide;
        inLeft = sizeof wide;
        dst = encoded;
        dstLeft = sizeof encoded;
        iconv(toCodePage, nullptr, nullptr, nullptr, nullptr);
        if (iconv(toCodePage, &inPtr, &inLeft, &dst, &dstLeft) != 0 ||
            iconv(toCodePage, nullptr, nullptr, &dst, &dstLeft) != 0) {
            continue;
        }
        if (sizeof encoded - dstLeft != 1 || static_cast<unsigned char>(encoded[0]) != byte) {
            continue;
        }
        if (singleByte.size() <= cp) {
            singleByte.resize(cp + 1, 0);
        }
        singleByte[cp] = static_cast<std::uint8_t>(byte);
    }
    iconv(fromCodePage, nullptr, nullptr, nullptr, nullptr);
    iconv(toCodePage, nullptr, nullptr, nullptr, nullptr);
}

TextCodec::TextCodec(std::string_view charset) : charset_(charset) {
    if (isUtf8Compatible(charset_)) {
        return;
    }
    auto converters = std::make_unique<Converters>();
    converters->toCodePage = iconv_open(charset_.c_str(), "UTF-32LE");
    converters->fromCodePage = iconv_open("UTF-8", charset_.c_str());
    if (converters->toCodePage == kInvalidHandle || converters->fromCodePage == kInvalidHandle) {
        return;
    }
    converters->buildSingleByteTable();
    converters_ = std::move(converters);
    utf8Native_ = false;
}

TextCodec::~TextCodec() = default;

const TextCodec& TextCodec::system() {
    static const TextCodec codec([] {
        const char* overridden = std::getenv("PELMAR_CODEPAGE");
        if (overridden != nullptr && *overridden != '\0') {
            return std::string(overridden);
        }
        return std::string(nl_langinfo(CODESET));
    }());
    return codec;
}

std::string TextCodec::fromUtf16le(std::span<const std::uint8_t> bytes,
                                   std::size_t maxBytes) const {
    if (utf8Native_) {
        return utf16leToUtf8Capped(bytes, maxBytes);
    }
    std::string out;
    if (Utf16leReader reader(bytes); singleBytes(reader, bytes.size() / 2, maxBytes, out)) {
        return out;
    }
    return fromCodePoints(codePoints(Utf16leReader(bytes)), maxBytes);
}

std::string TextCodec::fromUtf8(std::string_view text, std::size_t maxBytes) const {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    if (utf8Native_) {
        if (utf8::isValid(text)) {
            return std::string(text.substr(0, utf8::wholeCharPrefix(text, maxBytes)));
        }
        return utf8Capped(utf8::sanitize(text), maxBytes);
    }
    std::string out;
    if (Utf8Reader reader(text); singleBytes(reader, text.size(), maxBytes, out)) {
        return out;
    }
    return fromCodePoints(codePoints(Utf8Reader(text)), maxBytes);
}

template <typename Reader>
bool TextCodec::singleBytes(Reader& reader, std::size_t characters, std::size_t maxBytes,
                            std::string& out) const {
    const std::vector<std::uint8_t>& table = converters_->singleByte;
    out.reserve(std::min(characters, maxBytes));
    char32_t cp = 0;
    while (reader.next(cp)) {
        if (cp >= table.size() || table[cp] == 0) {
            return false;
        }
        // Every character is looked at, since one beyond the capacity without a byte of its
        // own would still make the whole text UTF-8.
        if (out.size() < maxBytes) {
            out.push_back(static_cast<char>(table[cp]));
        }
    }
    return utf8::isAscii(out) || !utf8::isValid(out);
}

std::string TextCodec::fromCodePoints(std::u32string_view text, std::size_t maxBytes) const {
    std::vector<char> input(text.size() * 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto cp = static_cast<std::uint32_t>(text[i]);
        for (std::size_t b = 0; b < 4; ++b) {
            input[4 * i + b] = static_cast<char>((cp >> (8 * b)) & 0xFF);
        }
    }
    // Converts into at most `capacity` bytes; iconv writes only whole characters, so stopping
    // for lack of room never splits one. Returns false when a character has no mapping.
    const auto convert = [&](std::size_t capacity, std::string& out) {
        out.assign(capacity, '\0');
        char* in = input.data();
        std::size_t inLeft = input.size();
        char* dst = out.data();
        std::size_t dstLeft = capacity;
        iconv(converters_->toCodePage, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(converters_->toCodePage, &in, &inLeft, &dst, &dstLeft);
        bool mapped = true;
        if (rc == static_cast<std::size_t>(-1)) {
            mapped = errno == E2BIG;
        } else if (rc != 0) {
            mapped = false;
        }
        if (mapped && inLeft == 0) {
            iconv(converters_->toCodePage, nullptr, nullptr, &dst, &dstLeft);
        }
        out.resize(capacity - dstLeft);
        return mapped;
    };

    std::string out;
    {
        const std::lock_guard lock(converters_->mutex);
        if (convert(text.size() * 8 + 16, out)) {
            if (out.size() > maxBytes) {
                convert(maxBytes, out);
            }
            // Readers tell the two stored forms apart by whether a text is valid UTF-8, so a
            // code-page text that happens to be valid UTF-8 ("Â´" in CP1252) is stored as UTF-8.
            // The result is a copy: the conversion's room, eight bytes a character, would stay
            // with the stored text for as long as the library holds it.
            if (utf8::isAscii(out) || !utf8::isValid(out)) {
                return std::string(out);
            }
        }
    }
    std::string utf8;
    for (char32_t cp : text) {
        utf8::append(utf8, cp);
    }
    return std::string(std::string_view(utf8).substr(0, utf8::wholeCharPrefix(utf8, maxBytes)));
}

std::string TextCodec::toUtf8(std::string_view stored) const {
    if (utf8::isAscii(stored)) {
        return std::string(stored);
    }
    if (utf8::isValid(stored)) {
        return std::string(stored);
    }
    if (utf8Native_) {
        return utf8::sanitize(stored);
    }
    return codePageToUtf8(stored);
}

std::string TextCodec::codePageToUtf8(std::string_view stored) const {
    std::string out;
    std::string chunk(16, '\0');
    const std::lock_guard lock(converters_->mutex);
    iconv(converters_->fromCodePage, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(stored.data());
    std::size_t inLeft = stored.size();
    while (inLeft > 0) {
        char* dst = chunk.data();
        std::size_t dstLeft = chunk.size();
        const std::size_t rc = iconv(converters_->fromCodePage, &in, &inLeft, &dst, &dstLeft);
        out.append(chunk.data(), chunk.size() - dstLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            utf8::append(out, utf8::kReplacement);
            ++in;
            --inLeft;
            iconv(converters_->fromCodePage, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

std::string TextCodec::foldKey(std::string_view stored) const {
    if (utf8Native_ || utf8::isAscii(stored)) {
        return caseFold(stored);
    }
    return caseFold(toUtf8(stored));
}

std::string TextCodec::toLower(std::string_view stored) const {
    std::string out;
    appendLower(out, stored);
    return out;
}

void TextCodec::appendLower(std::string& out, std::string_view stored) const {
    if (utf8Native_ || utf8::isAscii(stored)) {
        appendLowerUtf8(out, stored);
    } else {
        appendLowerUtf8(out, toUtf8(stored));
    }
}

std::size_t TextCodec::characterLength(std::string_view stored, std::size_t pos) const {
    if (pos >= stored.size()) {
        return 0;
    }
    const std::size_t left = stored.size() - pos;
    if (static_cast<unsigned char>(stored[pos]) < 0x80) {
        return 1;
    }
    if (utf8Native_ || utf8::isValid(stored)) {
        std::size_t next = pos;
        char32_t cp = 0;
        (void)utf8::decode(stored, next, cp);
        return next - pos;
    }
    // A code-page character is as many bytes as the converter needs to finish it.
    const std::lock_guard lock(converters_->mutex);
    for (std::size_t length = 1; length <= std::min<std::size_t>(left, 4); ++length) {
        iconv(converters_->fromCodePage, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(stored.data() + pos);
        std::size_t inLeft = length;
        char out[16];
        char* dst = out;
        std::size_t dstLeft = sizeof out;
        const std::size_t rc = iconv(converters_->fromCodePage, &in, &inLeft, &dst, &dstLeft);
        if (rc != static_cast<std::size_t>(-1) || errno != EINVAL) {
            return length;
        }
    }
    return 1;
}

std::size_t TextCodec::wholeCharacterPrefix(std::string_view stored, std::size_t maxBytes) const {
    if (stored.size() <= maxBytes) {
        return stored.size();
    }
    std::size_t pos = 0;
    while (pos < stored.size()) {
        const std::size_t length = characterLength(stored, pos);
        if (pos + length > maxBytes) {
            break;
        }
        pos += length;
    }
    return pos;
}

int TextCodec::compareNoCase(std::string_view a, std::string_view b) const {
    return foldKey(a).compare(foldKey(b));
}

}  // namespace pelmar
