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

// Reads the player's music database under the library's root. A database that cannot be opened
// reads nothing and gives no outcome.
std::optional<ReadOutcome> readMusic(PlayerLibrary& library, ProgressReporter& progress);

}  // namespace pelmar
