#include "library/play_data_reader.h"

#include <gtest/gtest.h>

#include <limits>

#include "library/player_library.h"
#include "library/player_loader.h"
#include "support/later_player_files.h"
#include "support/recording_progress.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t k2001 = 3'061'152'000U;  // 2001-01-01 in the player's 1904 epoch

fs::path dynamicFile(const test::TempFolder& folder) {
    return test::libraryFolder(folder.path()) / "Dynamic.itdb";
}

TEST(PlayData, TimesMoveToThePlayersEpochWithoutWrappingRound) {
    constexpr std::int64_t kLast = std::numeric_limits<std::uint32_t>::max() - std::int64_t{k2001};
    const std::vector<std::pair<std::int64_t, std::optional<std::uint32_t>>> cases = {
        {0, 0U},
        {1, k2001 + 1},
        {kLast, std::numeric_limits<std::uint32_t>::max()},
        {kLast + 1, std::nullopt},
        {1 - std::int64_t{k2001}, 1U},
        {-std::int64_t{k2001}, std::nullopt},
        {std::numeric_limits<std::int64_t>::max(), std::nullopt},
        {std::numeric_limits<std::int64_t>::min(), std::nullopt},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(playerTimeFrom2001(seconds), expected) << seconds;
    }
}

// The player's own record beats both the music database and the play-count file.
TEST(PlayData, ReplacesWhatTheDatabaseAndThePlayCountsSaid) {
    test::TempFolder folder;
    test::DatabaseBytes db;
    db.root().dataset(1).trackList(3);
    for (const std::uint64_t databaseId : {0x1111ULL, 0x8000000000002222ULL, 0ULL}) {
        test::TrackHeader track;
        track.id = static_cast<std::uint32_t>(databaseId & 0xFF) + 1;
        track.databaseId = databaseId;
        track.playCount = 4;
        track.lastPlayed = 3'100'000'000U;
        track.rating = 40;
        db.track(track);
    }
    test::writeFile(folder.path() / "iPod_Control" / "iTunes" / "iTunesDB", db.bytes());
    std::vector<std::uint8_t> counts(0x60 + 3 * 16, 0);
    std::copy_n("mhdp", 4, counts.begin());
    test::put32(counts, 4, 0x60);
    test::put32(counts, 8, 16);
    test::put32(counts, 12, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        test::put32(counts, 0x60 + 16 * i, 1);
        counts[0x60 + 16 * i + 12] = 60;
    }
    test::writeFile(folder.path() / "iPod_Control" / "iTunes" / "Play Counts", counts);
    test::writeSqlite(dynamicFile(folder),
                      {test::kDynamicSchema,
                       "INSERT INTO item_stats (item_pid, play_count_user, date_played,"
                       " user_rating, skip_count_user, date_skipped) VALUES"
                       " (4369, 9, 100, 80, 2, 50),"
                       " (-9223372036854767070, 0, 0, 120, -3, 2000000000),"
                       " (0, 7, 7, 20, 0, 0), (77, 1, 1, 1, 1, 1);"});
    PlayerLibrary library;
    test::RecordingProgress progress;
    const LoadReport report = loadLibraryFromRoot(library, folder.root(), progress);
    ASSERT_TRUE(report.playData.has_value());
    EXPECT_EQ(report.playData->end, SqliteOutcome::End::Read);
    EXPECT_EQ(report.playData->reason,
              "times beyond what the player's clock can hold: 1 (those kept their earlier "
              "values)");

    const MhTrackData& first = library.tracks.at(0x12);
    EXPECT_EQ(std::tie(first.playCount, first.lastPlayed, first.rating, first.skipCount,
                       first.lastSkipped),
              std::make_tuple(9U, k2001 + 100, std::uint8_t{80}, 2U, k2001 + 50));
    const MhTrackData& second = library.tracks.at(0x23);
    EXPECT_EQ(std::tie(second.playCount, second.lastPlayed, second.rating, second.skipCount),
              std::make_tuple(0U, 0U, std::uint8_t{0}, 0U))
        << "a time of 0 is never, a rating past 100 none, a negative count 0";
    EXPECT_EQ(second.lastSkipped, 0U) << "a time too late keeps what there was";
    const MhTrackData& withoutId = library.tracks.at(1);
    EXPECT_EQ(std::tie(withoutId.playCount, withoutId.lastPlayed, withoutId.rating),
              std::make_tuple(5U, 3'100'000'000U, std::uint8_t{60}))
        << "a track without a database id matches no row";
}

// Rows in any order reach their tracks, two tracks with one id both, and of two rows with one
// id the later wins.
TEST(PlayData, EveryRowReachesItsTracksAndTheLastRowOfAnIdWins) {
    PlayerLibrary library;
    for (const auto& [id, databaseId] :
         std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 30}, {2, 10}, {3, 20}, {4, 10}}) {
        library.trackIds.push_back(id);
        library.tracks[id].databaseId = databaseId;
    }
    PlayData data;
    for (const auto& [databaseId, plays] : std::vector<std::pair<std::uint64_t, std::uint32_t>>{
             {20, 1}, {10, 2}, {30, 3}, {10, 4}, {99, 5}}) {
        TrackPlayData& row = data.tracks.emplace_back();
        row.databaseId = databaseId;
        row.playCount = plays;
    }
    EXPECT_EQ(mergePlayData(library, data), 0U);
    EXPECT_EQ(library.tracks.at(1).playCount, 3U);
    EXPECT_EQ(library.tracks.at(2).playCount, 4U);
    EXPECT_EQ(library.tracks.at(3).playCount, 1U);
    EXPECT_EQ(library.tracks.at(4).playCount, 4U);
}

TEST(PlayData, FilesItCannotUseChangeNothing) {
    const std::string row = "INSERT INTO item_stats VALUES (5, 9, 9, 9, 9);";
    struct Case {
        std::string sql;
        SqliteOutcome::End end;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"CREATE TABLE other (x);", SqliteOutcome::End::ForeignSchema, "no table item_stats"},
        {"CREATE TABLE item_stats (item_pid, play_count_user, date_played, rating, b);" + row,
         SqliteOutcome::End::ForeignSchema, "item_stats has no column user_rating"},
        {"CREATE TABLE item_stats (ITEM_PID, Play_Count_User, date_played, user_rating, b);" + row,
         SqliteOutcome::End::Read, ""},
    };
    for (const Case& c : cases) {
        test::TempFolder folder;
        test::writeSqlite(dynamicFile(folder), {c.sql});
        PlayerLibrary library;
        library.rootPath = folder.root();
        MhTrackData track;
        track.databaseId = 5;
        track.playCount = 1;
        track.skipCount = 4;
        library.tracks.emplace(1, track);
        const std::optional<SqliteOutcome> outcome = mergePlayerPlayData(library);
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->end, c.end) << c.sql;
        EXPECT_EQ(outcome->reason, c.reason) << c.sql;
        EXPECT_EQ(library.tracks.at(1).playCount, c.end == SqliteOutcome::End::Read ? 9U : 1U);
        EXPECT_EQ(library.tracks.at(1).skipCount, 4U) << "a file without skips keeps them";
    }

    test::TempFolder folder;
    PlayerLibrary library;
    library.rootPath = folder.root();
    EXPECT_FALSE(mergePlayerPlayData(library).has_value());
    test::writeSqlite(dynamicFile(folder),
                      {test::kDynamicSchema, "INSERT INTO item_stats (item_pid) VALUES (1);"});
    const std::string whole = test::readAll(dynamicFile(folder));
    for (const std::size_t length : {std::size_t{100}, whole.size() / 2}) {
        test::writeFile(dynamicFile(folder),
                        std::vector<std::uint8_t>(whole.begin(), whole.begin() + length));
        const std::optional<SqliteOutcome> cut = mergePlayerPlayData(library);
        ASSERT_TRUE(cut.has_value());
        EXPECT_EQ(cut->end, SqliteOutcome::End::Damaged) << length << ": " << cut->reason;
    }
}

// A player unplugged in the middle of a write leaves a journal; reading must neither replay it
// nor write one, and another program's lock must not keep the data from being read.
TEST(PlayData, IsReadFromTheFileAloneWhateverLiesBesideIt) {
    test::TempFolder folder;
    const fs::path file = dynamicFile(folder);
    test::writeSqlite(file, {"PRAGMA journal_mode=WAL;", test::kDynamicSchema,
                             "INSERT INTO item_stats (item_pid, play_count_user) VALUES (5, 1);"});
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "PRAGMA wal_autocheckpoint=0; UPDATE item_stats SET play_count_user = 8;"
                           " BEGIN EXCLUSIVE;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const fs::path wal = file.string() + "-wal";
    const std::string walBefore = test::readAll(wal);
    ASSERT_FALSE(walBefore.empty());
    const std::string mainBefore = test::readAll(file);

    PlayerLibrary library;
    library.rootPath = folder.root();
    MhTrackData track;
    track.databaseId = 5;
    library.tracks.emplace(1, track);
    const std::optional<SqliteOutcome> outcome = mergePlayerPlayData(library);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->end, SqliteOutcome::End::Read) << outcome->reason;
    EXPECT_EQ(library.tracks.at(1).playCount, 1U) << "the file's own value, not the journal's";
    EXPECT_EQ(test::readAll(wal), walBefore);
    EXPECT_EQ(test::readAll(file), mainBefore);
    sqlite3_exec(writer, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
}

}  // namespace
}  // namespace pelmar
