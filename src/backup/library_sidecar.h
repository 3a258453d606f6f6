#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/track_data.h"

namespace pelmar {

class PlayerLibrary;

// The library file at the top of a backup folder, for scripts and other players: one entry per
// track backed up there by this run or an earlier one, keyed by the copy's path below the folder.
inline constexpr std::string_view kLibrarySidecarName = "Library.json";
// The layout written; a file of a later layout is left as it is.
inline constexpr int kLibrarySidecarFormat = 1;

struct SidecarTrack {
    std::string relativePath;  // the copy's path below the backup folder, "/" between names
    std::uint32_t trackId = 0;
    std::uint32_t mediaKind = 0;
    bool hasArtwork = false;
    TrackInfo track;  // texts in UTF-8
};

// The entry for a track of `library` copied to `relativePath`, the path below the backup folder
// as the backup named it, in the library's text codec; texts and path become UTF-8. Empty values
// for an unknown id.
[[nodiscard]] SidecarTrack sidecarTrack(const PlayerLibrary& library, std::uint32_t trackId,
                                        std::string_view relativePath);

struct SidecarResult {
    bool written = false;
    std::size_t entries = 0;  // entries in the file written, earlier runs' included
    // The name, below the backup folder, under which an earlier file that could not be read as a
    // library file was kept before a new one took its place; "" when there was none.
    std::string keptAside;
    std::string problem;  // why nothing was written; "" when written
};

// Writes the library file into `backupFolder`, whole or not at all: the entries of an earlier
// file stay, those of `tracks` replace any under the same path. An earlier file that is not a
// library file is first copied aside, never lost; one of a later layout, or one that cannot be
// read, makes this refuse and leave it. Never throws.
[[nodiscard]] SidecarResult writeLibrarySidecar(const std::string& backupFolder,
                                                const std::vector<SidecarTrack>& tracks) noexcept;

}  // namespace pelmar
