#include "util/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// Appends UTF-16LE code units as UTF-8, stopping at a NUL unit.
void appendUtf16leAsUtf8(std::string& out, std::span<const std::uint8_t> bytes) {
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit == 0) {
            return;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                utf8::append(out, 0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u));
                ++i;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            utf8::append(out, utf8::kReplacement);
        } else {
            utf8::append(out, unit);
        }
    }
}

std::u32string utf16leToCodePoints(std::span<const std::uint8_t> bytes) {
    std::string utf8;
    appendUtf16leAsUtf8(utf8, bytes);
    std::u32string out;
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < utf8.size()) {
        if (utf8::decode(utf8, pos, cp)) {
            out.push_back(cp);
        }
    }
    return out;
}

std::u32string utf8ToCodePoints(std::string_view text) {
    std::u32string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        if (!utf8::decode(text, pos, cp)) {
            cp = utf8::kReplacement;
        }
        if (cp == 0) {
            break;
        }
        out.push_back(cp);
    }
    return out;
}

std::string utf8Capped(std::string text, std::size_t maxBytes) {
    text.resize(utf8::wholeCharPrefix(text, maxBytes));
    return text;
}

}  // namespace

struct TextCodec::Converters {
    std::mutex mutex;
    iconv_t toCodePage = kInvalidHandle;
    iconv_t fromCodePage = kInvalidHandle;

    ~Converters() {
        if (toCodePage != kInvalidHandle) {
            iconv_close(toCodePage);
        }
        if (fromCodePage != kInvalidHandle) {
            iconv_close(fromCodePage);
        }
    }
};

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
        std::string out;
        out.reserve(bytes.size() / 2);
        appendUtf16leAsUtf8(out, bytes);
        return utf8Capped(std::move(out), maxBytes);
    }
    return fromCodePoints(utf16leToCodePoints(bytes), maxBytes);
}

std::string TextCodec::fromUtf8(std::string_view text, std::size_t maxBytes) const {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    if (utf8Native_) {
        return utf8Capped(utf8::sanitize(text), maxBytes);
    }
    return fromCodePoints(utf8ToCodePoints(text), maxBytes);
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
            if (utf8::isAscii(out) || !utf8::isValid(out)) {
                return out;
            }
        }
    }
    out.clear();
    for (char32_t cp : text) {
        utf8::append(out, cp);
    }
    return utf8Capped(std::move(out), maxBytes);
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
