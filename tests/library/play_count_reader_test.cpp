#include "library/play_count_reader.h"

#include <gtest/gtest.h>

#include "library/player_files.h"
#include "library/player_library.h"
#include "support/copying_source.h"
#include "support/database_bytes.h"
#include "support/recording_progress.h"
#include "support/temp_folder.h"
#include "util/byte_source.h"

namespace pelmar {
namespace {

struct Entry {
    std::uint32_t plays = 0;
    std::uint32_t lastPlayed = 0;
    std::uint8_t rating = 0;
};

std::vector<std::uint8_t> playCounts(const std::vector<Entry>& entries, std::uint32_t entryLength,
                                     std::uint32_t headerLength = 0x60,
                                     std::uint32_t statedEntryLength = 0) {
    std::vector<std::uint8_t> bytes(headerLength, 0);
    std::copy_n("mhdp", 4, bytes.begin());
    test::put32(bytes, 4, headerLength);
    test::put32(bytes, 8, statedEntryLength != 0 ? statedEntryLength : entryLength);
    test::put32(bytes, 12, static_cast<std::uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        std::vector<std::uint8_t> entry(entryLength, 0);
        test::put32(entry, 0, e.plays);
        test::put32(entry, 4, e.lastPlayed);
        test::put32(entry, 8, 0xDEAD);
        if (entryLength >= 16) {
            entry[12] = e.rating;
        }
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

class PlayCountReader : public ::testing::Test {
  protected:
    PlayCountReader() {
        for (std::uint32_t id : {30U, 10U, 20U}) {
            MhTrackData track;
            track.playCount = 5;
            track.lastPlayed = 3'000'000'000U;
            track.rating = 60;
            library.tracks.emplace(id, track);
            library.trackIds.push_back(id);
        }
    }

    ReadOutcome merge(const std::vector<std::uint8_t>& bytes) {
        MemoryByteSource source(bytes);
        return mergePlayCountData(library, source, progress);
    }

    const MhTrackData& track(std::uint32_t id) { return library.tracks.at(id); }

    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    test::RecordingProgress progress;
};

TEST_F(PlayCountReader, EntriesUpdateTheTracksInDatabaseOrder) {
    merge(playCounts({{1, 3'100'000'000U, 100}, {2, 3'200'000'000U, 20}, {3, 3'300'000'000U, 40}},
                     16));
    EXPECT_EQ(track(30).playCount, 6U);
    EXPECT_EQ(track(30).lastPlayed, 3'100'000'000U);
    EXPECT_EQ(track(30).rating, 100);
    EXPECT_EQ(track(10).playCount, 7U);
    EXPECT_EQ(track(10).rating, 20);
    EXPECT_EQ(track(20).playCount, 8U);
    EXPECT_EQ(track(20).lastPlayed, 3'300'000'000U);
}

TEST_F(PlayCountReader, UnplayedEntryKeepsTheDatabaseTimeButSetsTheRating) {
    merge(playCounts({{0, 0, 0}}, 16));
    EXPECT_EQ(track(30).playCount, 5U);
    EXPECT_EQ(track(30).lastPlayed, 3'000'000'000U)
        << "a zero time means not played since the last sync";
    EXPECT_EQ(track(30).rating, 0) << "the player's rating replaces the stored one";
}

TEST_F(PlayCountReader, StepsByTheStatedEntryLength) {
    for (const std::uint32_t length : {12U, 20U, 28U, 1024U}) {
        PlayerLibrary fresh(codec);
        for (std::uint32_t id : {1U, 2U}) {
            MhTrackData record;
            record.rating = 60;
            fresh.tracks.emplace(id, record);
            fresh.trackIds.push_back(id);
        }
        const auto bytes = playCounts({{1, 3'100'000'000U, 80}, {2, 3'200'000'000U, 100}}, length);
        MemoryByteSource source(bytes);
        mergePlayCountData(fresh, source, progress);
        EXPECT_EQ(fresh.tracks.at(2).playCount, 2U) << length;
        EXPECT_EQ(fresh.tracks.at(2).lastPlayed, 3'200'000'000U) << length;
        EXPECT_EQ(fresh.tracks.at(2).rating, length >= 16 ? 100 : 60)
            << length << ": a 12-byte entry has no rating";
    }
}

TEST_F(PlayCountReader, ImplausibleEntryLengthFallsBackTo16) {
    for (const std::uint32_t stated : {0U, 8U, 11U, 1025U, 0xFFFFFFFFU}) {
        PlayerLibrary fresh(codec);
        MhTrackData record;
        fresh.tracks.emplace(1, record);
        fresh.tracks.emplace(2, record);
        fresh.trackIds = {1, 2};
        const auto bytes = playCounts({{1, 0, 20}, {4, 0, 40}}, 16, 0x60, stated);
        MemoryByteSource source(bytes);
        mergePlayCountData(fresh, source, progress);
        EXPECT_EQ(fresh.tracks.at(2).playCount, 4U) << stated;
        EXPECT_EQ(fresh.tracks.at(2).rating, 40) << stated;
    }
}

TEST_F(PlayCountReader, ExtraEntriesAndATrailingPartialEntryAreIgnored) {
    auto bytes = playCounts({{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {9, 0, 0}, {9, 0, 0}}, 16);
    bytes.resize(bytes.size() + 7, 0xFF);
    const ReadOutcome outcome = merge(bytes);
    EXPECT_EQ(outcome.end, ReadOutcome::End::EndOfData);
    EXPECT_EQ(track(30).playCount + track(10).playCount + track(20).playCount, 18U);
}

TEST_F(PlayCountReader, ARatingAbove100ReadsAsZero) {
    merge(playCounts({{0, 0, 200}}, 16));
    EXPECT_EQ(track(30).rating, 0);
}

TEST_F(PlayCountReader, IdsWithoutARecordKeepTheirPlace) {
    library.trackIds.insert(library.trackIds.begin() + 1, 77);
    merge(playCounts({{1, 0, 0}, {50, 0, 0}, {2, 0, 0}}, 16));
    EXPECT_EQ(track(30).playCount, 6U);
    EXPECT_EQ(track(10).playCount, 7U) << "the entry for id 77 is spent on nothing";
}

TEST_F(PlayCountReader, HeaderPastTheEndOrInsideItsOwnFieldsChangesNothing) {
    for (const std::uint32_t headerLength : {4U, 10U, 100'000U}) {
        auto bytes = playCounts({{1, 0, 0}}, 16);
        test::put32(bytes, 4, headerLength);
        PlayerLibrary fresh(codec);
        MhTrackData record;
        fresh.tracks.emplace(1, record);
        fresh.trackIds = {1};
        MemoryByteSource source(bytes);
        const ReadOutcome outcome = mergePlayCountData(fresh, source, progress);
        EXPECT_EQ(outcome.end, ReadOutcome::End::Malformed) << headerLength;
        EXPECT_EQ(fresh.tracks.at(1).playCount, 0U) << headerLength;
    }
}

TEST_F(PlayCountReader, ShortFilesMergeNothing) {
    for (const std::size_t length : {0U, 3U, 8U, 0x60U}) {
        auto bytes = playCounts({}, 16);
        bytes.resize(length);
        merge(bytes);
    }
    EXPECT_EQ(track(30).playCount, 5U);
    EXPECT_EQ(track(30).rating, 60);
}

// Entries shown in place go in blocks; counts around a block's size, entry lengths with and
// without ratings and skips, and a trailing partial entry must merge as entries copied out do.
TEST_F(PlayCountReader, MergesAlikeWhetherOrNotTheSourceShowsItsBytes) {
    const auto result = [](ByteSource& source, std::size_t tracks) {
        TextCodec utf8("UTF-8");
        PlayerLibrary fresh(utf8);
        for (std::uint32_t id = 1; id <= tracks; ++id) {
            fresh.trackIds.push_back(id);
            if (id % 7 != 0) {
                fresh.tracks.emplace(id, MhTrackData{});
            }
        }
        test::RecordingProgress recorded;
        const ReadOutcome outcome = mergePlayCountData(fresh, source, recorded);
        std::string text = std::to_string(outcome.offset);
        for (const std::uint32_t id : fresh.trackIds) {
            if (const MhTrackData* t = fresh.findTrack(id)) {
                text += " " + std::to_string(t->playCount) + "/" + std::to_string(t->lastPlayed) +
                        "/" + std::to_string(t->rating) + "/" + std::to_string(t->skipCount);
            }
        }
        for (const std::uint32_t position : recorded.positions) {
            text += " @" + std::to_string(position);
        }
        return text;
    };
    for (const std::uint32_t length : {12U, 16U, 28U}) {
        for (const std::size_t count : {0U, 1U, 63U, 64U, 65U, 200U, 600U}) {
            std::vector<Entry> entries(count);
            for (std::size_t i = 0; i < count; ++i) {
                entries[i] = {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i % 3),
                              static_cast<std::uint8_t>(i % 120)};
            }
            auto bytes = playCounts(entries, length);
            bytes.resize(bytes.size() + 5, 0x11);
            MemoryByteSource shown(bytes);
            test::CopyingSource copied(bytes);
            EXPECT_EQ(result(shown, count / 2 + 10), result(copied, count / 2 + 10))
                << length << " bytes, " << count << " entries";
        }
    }
}

TEST_F(PlayCountReader, ReportsEvery250Entries) {
    std::vector<Entry> entries(600);
    const auto bytes = playCounts(entries, 16);
    merge(bytes);
    ASSERT_EQ(progress.ranges.size(), 1U);
    EXPECT_EQ(progress.ranges[0].second, bytes.size());
    EXPECT_EQ(progress.positions, (std::vector<std::uint32_t>{0x60 + 250 * 16, 0x60 + 500 * 16}));
}

TEST_F(PlayCountReader, MergesThePlayersFileAndLeavesItInPlace) {
    test::TempFolder folder;
    const auto path = folder.path() / std::string(kPlayCountsPath);
    const auto bytes = playCounts({{2, 0, 0}}, 16);
    test::writeFile(path, bytes);
    library.rootPath = folder.root();
    ASSERT_TRUE(mergePlayCounts(library, progress).has_value());
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Reading Play Data..."}));
    EXPECT_EQ(track(30).playCount, 7U);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
}

TEST_F(PlayCountReader, MissingFileChangesNothing) {
    test::TempFolder folder;
    library.rootPath = folder.root();
    EXPECT_FALSE(mergePlayCounts(library, progress).has_value());
    EXPECT_EQ(track(30).playCount, 5U);
}

}  // namespace
}  // namespace pelmar
