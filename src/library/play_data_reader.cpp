#include "library/play_data_reader.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "library/player_files.h"
#include "library/player_library.h"

namespace pelmar {

namespace {

// From 2001-01-01 back to 1904-01-01: the Unix epoch's offsets from both.
constexpr std::int64_t k2001To1904 = 978'307'200 + std::int64_t{kPlayerEpochOffset};
constexpr std::uint8_t kMaxRating = 100;

std::uint32_t count32(std::int64_t value) {
    if (value < 0) {
        return 0;
    }
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

// Replaces `field` with the converted time when it fits; counts it when it does not.
void putTime(std::uint32_t& field, std::int64_t seconds, std::size_t& unfit) {
    if (const std::optional<std::uint32_t> time = playerTimeFrom2001(seconds)) {
        field = *time;
    } else {
        ++unfit;
    }
}

}  // namespace

std::optional<std::uint32_t> playerTimeFrom2001(std::int64_t seconds) {
    if (seconds == 0) {
        return 0;
    }
    constexpr std::int64_t kLatest = std::int64_t{std::numeric_limits<std::uint32_t>::max()};
    if (seconds > kLatest - k2001To1904 || seconds < 1 - k2001To1904) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(seconds + k2001To1904);
}

PlayData readPlayData(sqlite3* db) {
    PlayData data;
    const SqliteWorkBudget budget(db);
    const TableColumns columns = tableColumns(db, "item_stats");
    if (columns.failure) {
        data.outcome = *columns.failure;
        return data;
    }
    if (columns.names.empty()) {
        data.outcome = foreignSchema("no table item_stats");
        return data;
    }
    for (const char* needed : {"item_pid", "play_count_user", "date_played", "user_rating"}) {
        if (!columns.has(needed)) {
            data.outcome = foreignSchema(std::string("item_stats has no column ") + needed);
            return data;
        }
    }
    const bool hasSkips = columns.has("skip_count_user");
    const bool hasSkipTimes = columns.has("date_skipped");
    SqliteQuery rows(db, "SELECT item_pid, play_count_user, date_played, user_rating, " +
                             columns.orNull("skip_count_user") + ", " +
                             columns.orNull("date_skipped") + " FROM item_stats");
    while (rows.next()) {
        TrackPlayData& track = data.tracks.emplace_back();
        track.databaseId = static_cast<std::uint64_t>(rows.integer(0));
        track.playCount = count32(rows.integer(1));
        track.lastPlayed = rows.integer(2);
        const std::int64_t rating = rows.integer(3);
        track.rating = rating < 0 || rating > kMaxRating ? 0 : static_cast<std::uint8_t>(rating);
        if (hasSkips) {
            track.skipCount = count32(rows.integer(4));
        }
        if (hasSkipTimes) {
            track.lastSkipped = rows.integer(5);
        }
    }
    if (rows.failure()) {
        data.tracks.clear();
        data.outcome = *rows.failure();
    }
    return data;
}

std::size_t mergePlayData(PlayerLibrary& library, const PlayData& data) {
    // A sorted array, not a hash map: a hundred thousand lookups cost a fraction as much.
    using Entry = std::pair<std::uint64_t, MhTrackData*>;
    std::vector<Entry> byDatabaseId;
    byDatabaseId.reserve(library.tracks.size());
    for (auto& [id, track] : library.tracks) {
        // Databases older than the 64-bit ids leave them 0; such tracks match nothing.
        if (track.databaseId != 0) {
            byDatabaseId.emplace_back(track.databaseId, &track);
        }
    }
    const auto byId = [](const Entry& a, const Entry& b) { return a.first < b.first; };
    std::sort(byDatabaseId.begin(), byDatabaseId.end(), byId);
    // The rows in the order of their ids too, so that both are walked once side by side. Rows
    // with one id keep their order in the file, and the last of them still wins.
    std::vector<const TrackPlayData*> rows;
    rows.reserve(data.tracks.size());
    for (const TrackPlayData& played : data.tracks) {
        rows.push_back(&played);
    }
    const auto rowsById = [](const TrackPlayData* a, const TrackPlayData* b) {
        return a->databaseId < b->databaseId;
    };
    // A table keyed by the id gives its rows in that order already; any other order is sorted.
    if (!std::is_sorted(rows.begin(), rows.end(), rowsById)) {
        std::stable_sort(rows.begin(), rows.end(), rowsById);
    }
    std::size_t unfit = 0;
    auto first = byDatabaseId.begin();
    for (const TrackPlayData* played : rows) {
        while (first != byDatabaseId.end() && first->first < played->databaseId) {
            ++first;
        }
        for (auto it = first; it != byDatabaseId.end() && it->first == played->databaseId; ++it) {
            MhTrackData& track = *it->second;
            track.playCount = played->playCount;
            track.rating = played->rating;
            putTime(track.lastPlayed, played->lastPlayed, unfit);
            if (played->skipCount) {
                track.skipCount = *played->skipCount;
            }
            if (played->lastSkipped) {
                putTime(track.lastSkipped, *played->lastSkipped, unfit);
            }
        }
    }
    return unfit;
}

std::optional<SqliteOutcome> mergePlayerPlayData(PlayerLibrary& library) {
    const PlayerSqlite file = openPlayerSqlite(library.rootPath, kDynamicItdbPath);
    if (file.status == PlayerPathStatus::Missing) {
        return std::nullopt;
    }
    if (!file.db) {
        return file.failure;
    }
    const PlayData data = readPlayData(file.db.get());
    SqliteOutcome outcome = data.outcome;
    if (const std::size_t unfit = mergePlayData(library, data); unfit > 0) {
        outcome.reason = "times beyond what the player's clock can hold: " + std::to_string(unfit) +
                         " (those kept their earlier values)";
    }
    return outcome;
}

}  // namespace pelmar
