#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library/music_database_reader.h"
#include "library/sqlite_database.h"

namespace pelmar {

class PlayerLibrary;
class ProgressReporter;
class SystemVolumes;

// Where the tracks and playlists came from.
enum class MusicSource { None, Uncompressed, Compressed, SqliteFiles };

// How each file of a load ended; no outcome means the file could not be opened (or, for the
// SQLite library, was not needed).
struct LoadReport {
    std::optional<ReadOutcome> music;
    std::optional<ReadOutcome> playCounts;
    std::optional<ReadOutcome> photos;
    MusicSource musicSource = MusicSource::None;
    std::optional<ReadOutcome> inflation;       // the compressed database's stream
    std::optional<SqliteOutcome> libraryFiles;  // Library.itdb and Locations.itdb
    std::optional<SqliteOutcome> playData;      // Dynamic.itdb
    std::vector<ReadOutcome> onTheGo;           // each on-the-go playlist file, in order
    std::optional<ReadOutcome> artwork;
};

// Everything a connect does once the library's root is set: the player's family and model; the
// music database (or, where it is missing, empty or its compressed stream damaged, the SQLite
// library), play counts, the player's play data, on-the-go playlists, photo database, artwork
// database and the completion of the playlist names, all reporting through one status line and
// progress bar; then the indices, the search index, and the sorted playlists and photo albums.
LoadReport loadConnectedPlayer(PlayerLibrary& library, ProgressReporter& progress,
                               const SystemVolumes& system);

// Clears the library and loads the player whose root folder is `root`, without looking for the
// marker folder: for tools and tests that name a player themselves.
LoadReport loadLibraryFromRoot(PlayerLibrary& library, std::string root,
                               ProgressReporter& progress);

}  // namespace pelmar
