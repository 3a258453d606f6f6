#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "library/sqlite_database.h"

struct sqlite3;

namespace pelmar {

class PlayerLibrary;

// One track's plays as the player itself recorded them, times in seconds since 2001 (0 never).
struct TrackPlayData {
    std::uint64_t databaseId = 0;
    std::uint32_t playCount = 0;
    std::int64_t lastPlayed = 0;
    std::uint8_t rating = 0;
    std::optional<std::uint32_t> skipCount;  // absent when the file does not count skips
    std::optional<std::int64_t> lastSkipped;
};

struct PlayData {
    std::vector<TrackPlayData> tracks;
    SqliteOutcome outcome;
};

// Reads the play database's `item_stats`. A locked or damaged file, or one without the table or
// its play count, time played or rating, reads no tracks and says why.
[[nodiscard]] PlayData readPlayData(sqlite3* db);

// The player's 1904-epoch time for seconds since 2001; 0 stays 0. None for a time that the
// 32-bit field cannot hold.
[[nodiscard]] std::optional<std::uint32_t> playerTimeFrom2001(std::int64_t seconds);

// Makes the play data the current values of every track whose database id matches: play count,
// last played, rating and, where the file has them, skips. Returns how many times did not fit
// the track's field; those keep the value they had.
std::size_t mergePlayData(PlayerLibrary& library, const PlayData& data);

// Reads the play database under the library's root and merges it. None when there is no such
// file; a file that cannot be read changes nothing.
std::optional<SqliteOutcome> mergePlayerPlayData(PlayerLibrary& library);

}  // namespace pelmar
