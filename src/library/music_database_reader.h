#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelmar {

class ByteSource;
class PlayerLibrary;
class ProgressReporter;

// Why a read of a player file stopped. Damaged files end the read quietly with what was read;
// the reason is kept for tests and diagnostics, never shown as an error.
struct ReadOutcome {
    enum class End { EndOfData, Malformed, ReadError };
    End end = End::EndOfData;
    std::uint64_t offset = 0;  // where the reader stopped
    std::string reason;        // empty at a clean end of data
};

// Reads tracks, their tags and the playlists from a music database into the library, in one
// forward pass. Tracks must come before the playlists in the file.
ReadOutcome readMusicDatabase(PlayerLibrary& library, ByteSource& source,
                              ProgressReporter& progress);

// Reads the player's music database under the library's root. A database that cannot be opened
// reads nothing and gives no outcome.
std::optional<ReadOutcome> readMusic(PlayerLibrary& library, ProgressReporter& progress);

}  // namespace pelmar
