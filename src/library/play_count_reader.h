#pragma once

#include "library/music_database_reader.h"

namespace pelmar {

// Merges the player's play-count file into the tracks: entry i belongs to the i-th id of
// `trackIds`. Plays are added; a time last played replaces the stored one; a rating replaces the
// stored one when the entries are long enough to carry it.
ReadOutcome mergePlayCountData(PlayerLibrary& library, ByteSource& source,
                               ProgressReporter& progress);

// Merges the play-count file under the library's root. A file that cannot be opened changes
// nothing and gives no outcome. The file is only ever read: it belongs to the player and to the
// software that syncs it.
std::optional<ReadOutcome> mergePlayCounts(PlayerLibrary& library, ProgressReporter& progress);

}  // namespace pelmar
