#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/sqlite_database.h"
#include "library/track_data.h"

struct sqlite3;

namespace pelmar {

class PlayerLibrary;
class TextCodec;

struct ImportedPlaylist {
    std::string name;
    std::vector<std::size_t> items;  // places in the imported track list
};

// A library as the SQLite files of the nano 6G and 7G describe it, texts in the stored form.
struct ImportedLibrary {
    std::vector<MhTrackData> tracks;          // in the player's track-list order
    std::string masterName;                   // the player's name; empty when no master is stored
    std::vector<ImportedPlaylist> playlists;  // the visible ones
    // Read, with a note in the reason when the playlists or genres could not be read; any other
    // end means nothing was imported.
    SqliteOutcome outcome;
};

// Reads the tracks and playlists of `library` (Library.itdb) and the tracks' files from
// `locations` (Locations.itdb), converting texts with `codec` under the music database's caps.
[[nodiscard]] ImportedLibrary importSqliteLibrary(sqlite3* library, sqlite3* locations,
                                                  const TextCodec& codec);

// Makes the imported library the library's tracks and playlists, replacing any read before. A
// track's id is its 1-based place in the track list; the master playlist, holding every track,
// comes first among the playlists, named after the player or else the placeholder name.
void putImportedLibrary(PlayerLibrary& library, ImportedLibrary imported);

// Builds the library from the SQLite files under its root when both exist and can be read. None
// when either is missing; on any failure the library stays as it was.
std::optional<SqliteOutcome> readSqliteLibrary(PlayerLibrary& library);

}  // namespace pelmar
