#include "player_image/utf8_text.h"

namespace pelmar::player_image {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes the character at `pos` and moves past it.
char32_t decodeAt(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    std::size_t extra = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return kReplacement;
    }
    for (std::size_t i = 0; i < extra; ++i) {
        if (pos >= text.size() || !isContinuation(static_cast<unsigned char>(text[pos]))) {
            return kReplacement;
        }
        value = (value << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return (surrogate || value > 0x10FFFF) ? kReplacement : value;
}

void appendUnit(char16_t unit, std::vector<std::uint8_t>& out) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

std::size_t characterLength(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    decodeAt(text, end);
    return end - pos;
}

}  // namespace

void appendUtf16le(std::string_view utf8, std::vector<std::uint8_t>& out) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = decodeAt(utf8, pos);
        if (c < 0x10000) {
            appendUnit(static_cast<char16_t>(c), out);
        } else {
            const char32_t offset = c - 0x10000;
            appendUnit(static_cast<char16_t>(0xD800 + (offset >> 10)), out);
            appendUnit(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)), out);
        }
    }
}

char32_t firstCharacter(std::string_view utf8) {
    std::size_t pos = 0;
    return utf8.empty() ? 0 : decodeAt(utf8, pos);
}

std::string repeatToLength(std::string_view pattern, std::size_t count) {
    std::string text;
    if (pattern.empty()) {
        return text;
    }
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (pos == pattern.size()) {
            pos = 0;
        }
        const std::size_t length = characterLength(pattern, pos);
        text.append(pattern.substr(pos, length));
        pos += length;
    }
    return text;
}

}  // namespace pelmar::player_image
