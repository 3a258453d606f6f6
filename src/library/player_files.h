#pragma once

#include <memory>
#include <string_view>

namespace pelmar {

class ByteSource;
class PlayerLibrary;

// Files of a player, relative to its root.
inline constexpr std::string_view kMarkerFolder = "iPod_Control";
inline constexpr std::string_view kMusicDatabasePath = "iPod_Control/iTunes/iTunesDB";
inline constexpr std::string_view kPlayCountsPath = "iPod_Control/iTunes/Play Counts";
inline constexpr std::string_view kPhotoDatabasePath = "Photos/Photo Database";

// Opens a file of the player under the library's root for reading only, whatever the case of
// its path's components. Null when it does not exist or cannot be opened.
[[nodiscard]] std::unique_ptr<ByteSource> openPlayerFile(const PlayerLibrary& library,
                                                         std::string_view relativePath);

}  // namespace pelmar
