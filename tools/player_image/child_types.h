#pragma once

#include <cstdint>

// The +12 type of "mhod" children: strings below 50, then the playlist and album kinds.
namespace pelmar::player_image::child_type {

inline constexpr std::uint32_t title = 1;  // also a playlist's name
inline constexpr std::uint32_t location = 2;
inline constexpr std::uint32_t album = 3;
inline constexpr std::uint32_t artist = 4;
inline constexpr std::uint32_t genre = 5;
inline constexpr std::uint32_t fileTypeText = 6;
inline constexpr std::uint32_t comment = 8;
inline constexpr std::uint32_t composer = 12;
inline constexpr std::uint32_t description = 14;
inline constexpr std::uint32_t enclosureUrl = 15;  // raw UTF-8, no string header
inline constexpr std::uint32_t feedUrl = 16;       // raw UTF-8, no string header
inline constexpr std::uint32_t smartRules = 50;
inline constexpr std::uint32_t smartRuleList = 51;
inline constexpr std::uint32_t sortIndex = 52;
inline constexpr std::uint32_t jumpTable = 53;
inline constexpr std::uint32_t itemPosition = 100;
inline constexpr std::uint32_t albumName = 200;
inline constexpr std::uint32_t albumArtist = 201;

}  // namespace pelmar::player_image::child_type
