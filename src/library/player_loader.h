#pragma once

#include <optional>
#include <string>

#include "library/music_database_reader.h"

namespace pelmar {

class PlayerLibrary;
class ProgressReporter;

// How each file of a load ended; no outcome means the file could not be opened.
struct LoadReport {
    std::optional<ReadOutcome> music;
    std::optional<ReadOutcome> playCounts;
};

// The loader run: music database, play counts, then the completion of the playlist names, all
// reporting through one status line and progress bar.
LoadReport loadPlayerData(PlayerLibrary& library, ProgressReporter& progress);

// Loads the player whose root folder (holding "iPod_Control") is `root`: the loader run, the
// indices, the search index and the sorted playlists. The root gets a trailing "/" if it has none.
LoadReport loadLibraryFromRoot(PlayerLibrary& library, std::string root,
                               ProgressReporter& progress);

}  // namespace pelmar
