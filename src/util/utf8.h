#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmar::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the code point at `pos`, advancing `pos`. An ill-formed sequence (overlong, surrogate,
// above U+10FFFF, truncated) yields nothing and returns false with `pos` past its first byte.
[[nodiscard]] bool decode(std::string_view s, std::size_t& pos, char32_t& cp);

void append(std::string& out, char32_t cp);

[[nodiscard]] bool isValid(std::string_view s);

[[nodiscard]] inline bool isAscii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The copy of `s` with every ill-formed byte replaced by U+FFFD.
[[nodiscard]] std::string sanitize(std::string_view s);

// Length of the longest prefix of valid UTF-8 text `s` that fits in `maxBytes` without
// splitting a character.
[[nodiscard]] std::size_t wholeCharPrefix(std::string_view s, std::size_t maxBytes);

}  // namespace pelmar::utf8
