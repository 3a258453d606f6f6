#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar::player_image {

// Appends the text as UTF-16LE; characters beyond the basic plane become surrogate pairs.
// Malformed sequences become U+FFFD so a bad name can never break the record lengths.
void appendUtf16le(std::string_view utf8, std::vector<std::uint8_t>& out);

// 0 for an empty text.
[[nodiscard]] char32_t firstCharacter(std::string_view utf8);

// The pattern's characters over and over until the text holds exactly `count` characters.
[[nodiscard]] std::string repeatToLength(std::string_view pattern, std::size_t count);

}  // namespace pelmar::player_image
