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
// Players from the nano 5G on keep the music database compressed here, and leave the
// uncompressed one empty.
inline constexpr std::string_view kCompressedMusicDatabasePath = "iPod_Control/iTunes/iTunesCDB";
// The nano 6G and 7G also describe their library in SQLite files, and record plays there.
inline constexpr std::string_view kLibraryItdbPath =
    "iPod_Control/iTunes/iTunes Library.itlp/Library.itdb";
inline constexpr std::string_view kLocationsItdbPath =
    "iPod_Control/iTunes/iTunes Library.itlp/Locations.itdb";
inline constexpr std::string_view kDynamicItdbPath =
    "iPod_Control/iTunes/iTunes Library.itlp/Dynamic.itdb";
// Playlists made on the player: this name, then the same with "_1", "_2", ...
inline constexpr std::string_view kOnTheGoPath = "iPod_Control/iTunes/OTGPlaylistInfo";
inline constexpr std::string_view kSysInfoPath = "iPod_Control/Device/SysInfo";

// Opens a file of the player under the library's root for reading only, whatever the case of
// its path's components. Null when it does not exist or cannot be opened.
[[nodiscard]] std::unique_ptr<ByteSource> openPlayerFile(const PlayerLibrary& library,
                                                         std::string_view relativePath);

}  // namespace pelmar
