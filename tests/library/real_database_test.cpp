#include <gtest/gtest.h>

#include <map>

#include "library/music_database_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "platform/file_byte_source.h"
#include "util/progress_reporter.h"
#include "util/utf8.h"

namespace pelmar {
namespace {

constexpr const char* kDatabase = PELMAR_TEST_DATA_DIR "/real/desktop-v12-iTunesDB";

ReadOutcome readReal(PlayerLibrary& library) {
    const auto file = FileByteSource::open(kDatabase);
    if (!file) {
        ADD_FAILURE() << "missing fixture " << kDatabase;
        return {};
    }
    NullProgressReporter progress;
    return readMusicDatabase(library, *file, progress);
}

TEST(RealDatabase, ReadsEveryTrackOfADesktopWrittenDatabase) {
    const TextCodec codec("UTF-8");
    PlayerLibrary library(codec);
    const ReadOutcome outcome = readReal(library);
    EXPECT_EQ(outcome.end, ReadOutcome::End::EndOfData);
    EXPECT_EQ(outcome.offset, 3'360'668U) << "the whole file is read";
    EXPECT_EQ(library.trackIds.size(), 5375U);
    EXPECT_EQ(library.tracks.size(), 5375U);
    EXPECT_TRUE(library.videoIds.empty()) << "160-byte records carry no media kind";

    const MhTrackData* first = library.findTrack(31337);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(library.trackIds.front(), 31337U);
    EXPECT_EQ(first->title, "Glenn Miller-In The Mood");
    EXPECT_EQ(first->artist, "Unknown");
    EXPECT_EQ(first->album, "Best of Big Band Swing");
    EXPECT_EQ(first->genre, "Big Band");
    EXPECT_EQ(first->location, ":iPod_Control:Music:F23:RPDM.mp3");
    EXPECT_EQ(first->size, 3'389'239U);
    EXPECT_EQ(first->trackNumber, 13U);
    EXPECT_EQ(first->bitrate, 127U);

    const MhTrackData* last = library.findTrack(36711);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->title, "We're Not Right");
    EXPECT_EQ(last->artist, "David Gray");
    EXPECT_EQ(last->album, "White Ladder");
    EXPECT_EQ(last->year, 2003U);
    EXPECT_EQ(last->lengthMs, 184'000U);

    std::map<int, int> byType;
    std::size_t nonAscii = 0;
    for (const auto& [id, track] : library.tracks) {
        ++byType[track.fileType];
        for (const std::string* text : {&track.title, &track.artist, &track.album}) {
            EXPECT_TRUE(utf8::isValid(*text)) << id;
        }
        if (!utf8::isAscii(track.title + track.artist + track.album)) {
            ++nonAscii;
        }
    }
    EXPECT_EQ(byType, (std::map<int, int>{{1, 5}, {2, 5333}, {5, 37}}));
    EXPECT_EQ(nonAscii, 42U);
}

TEST(RealDatabase, MasterPlaylistListsEveryTrackInDatabaseOrder) {
    const TextCodec codec("UTF-8");
    PlayerLibrary library(codec);
    readReal(library);
    completePlaylistNames(library);
    ASSERT_EQ(library.playlistNames.size(), 1U);
    KernelId master;
    KernelId item;
    ASSERT_EQ(library.firstPlaylistItem(master, item), 5375);
    std::vector<std::uint32_t> items{item.id};
    while (library.nextPlaylistItem(master, item) != 0) {
        items.push_back(item.id);
    }
    EXPECT_EQ(items, library.trackIds);
}

TEST(RealDatabase, WesternCodePageKeepsTheSameTextsInItsOwnBytes) {
    const TextCodec western("CP1252");
    const TextCodec utf8("UTF-8");
    PlayerLibrary asWestern(western);
    PlayerLibrary asUtf8(utf8);
    readReal(asWestern);
    readReal(asUtf8);
    ASSERT_EQ(asWestern.tracks.size(), asUtf8.tracks.size());
    std::size_t differing = 0;
    for (const auto& [id, track] : asUtf8.tracks) {
        const MhTrackData& other = asWestern.tracks.at(id);
        EXPECT_EQ(western.toUtf8(other.title), track.title) << id;
        EXPECT_EQ(western.toUtf8(other.artist), track.artist) << id;
        differing += other.title != track.title ? 1 : 0;
    }
    EXPECT_GT(differing, 0U) << "accented titles are stored in the code page";
}

}  // namespace
}  // namespace pelmar
