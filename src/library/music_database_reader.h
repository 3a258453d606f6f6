#pragma once

#include <optional>

#include "library/read_outcome.h"

namespace pelmar {

class ByteSource;
class PlayerLibrary;
class ProgressReporter;

// Reads tracks, their tags and the playlists from a music database into the library, in one
// forward pass. Tracks must come before the playlists in the file.
ReadOutcome readMusicDatabase(PlayerLibrary& library, ByteSource& source,
                              ProgressReporter& progress);

// How reading the player's music database went.
struct MusicRead {
    bool compressed = false;  // the compressed database was read, not the uncompressed one
    ReadOutcome outcome;      // how reading its records ended
    std::optional<ReadOutcome> inflation;  // how inflating the compressed one ended
};

// Reads the player's music database under the library's root: the compressed one when it exists
// and is not empty, else the uncompressed one. A database that cannot be opened reads nothing
// and gives no outcome.
std::optional<MusicRead> readMusic(PlayerLibrary& library, ProgressReporter& progress);

}  // namespace pelmar
