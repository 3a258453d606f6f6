#pragma once

#include <string_view>

namespace pelmar {

// Files of a player, relative to its root.
inline constexpr std::string_view kMarkerFolder = "iPod_Control";
inline constexpr std::string_view kMusicDatabasePath = "iPod_Control/iTunes/iTunesDB";
inline constexpr std::string_view kPlayCountsPath = "iPod_Control/iTunes/Play Counts";

}  // namespace pelmar
