#pragma once

#include <optional>
#include <string>

#include "library/music_database_reader.h"

namespace pelmar {

class PlayerLibrary;
class ProgressReporter;
class SystemVolumes;

// How each file of a load ended; no outcome means the file could not be opened.
struct LoadReport {
    std::optional<ReadOutcome> music;
    std::optional<ReadOutcome> playCounts;
    std::optional<ReadOutcome> photos;
    std::optional<ReadOutcome> artwork;
};

// The loader run: music database, play counts, photo database, artwork database, then the
// completion of the playlist names, all reporting through one status line and progress bar.
LoadReport loadPlayerData(PlayerLibrary& library, ProgressReporter& progress);

// Everything a connect does once the library's root is set: the player's family, the loader run,
// the indices, the search index, and the sorted playlists and photo albums.
LoadReport loadConnectedPlayer(PlayerLibrary& library, ProgressReporter& progress,
                               const SystemVolumes& system);

// Clears the library and loads the player whose root folder is `root`, without looking for the
// marker folder: for tools and tests that name a player themselves.
LoadReport loadLibraryFromRoot(PlayerLibrary& library, std::string root,
                               ProgressReporter& progress);

}  // namespace pelmar
