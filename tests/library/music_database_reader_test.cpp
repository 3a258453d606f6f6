#include "library/music_database_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "library/player_library.h"
#include "support/copying_source.h"
#include "support/database_bytes.h"
#include "support/recording_progress.h"
#include "support/temp_folder.h"
#include "util/byte_source.h"
#include "util/text_codec.h"

namespace pelmar {
namespace {

using test::DatabaseBytes;
using test::TrackHeader;

constexpr std::uint32_t kTitle = 1;
constexpr std::uint32_t kLocation = 2;
constexpr std::uint32_t kAlbum = 3;
constexpr std::uint32_t kArtist = 4;
constexpr std::uint32_t kGenre = 5;
constexpr std::uint32_t kTypeText = 6;
constexpr std::uint32_t kComposer = 12;

const TextCodec& utf8Codec() {
    static const TextCodec codec("UTF-8");
    return codec;
}

const TextCodec& westernCodec() {
    static const TextCodec codec("CP1252");
    return codec;
}

ReadOutcome read(PlayerLibrary& library, const std::vector<std::uint8_t>& bytes) {
    MemoryByteSource source(bytes);
    test::RecordingProgress progress;
    return readMusicDatabase(library, source, progress);
}

TrackHeader trackWith(std::uint32_t id, std::uint32_t children, std::uint32_t mediaKind = 1) {
    TrackHeader t;
    t.id = id;
    t.childCount = children;
    t.mediaKind = mediaKind;
    return t;
}

// A track with a location, a title and an artist.
DatabaseBytes& addTrack(DatabaseBytes& db, std::uint32_t id, std::u16string_view title,
                        std::uint32_t mediaKind = 1) {
    return db.track(trackWith(id, 3, mediaKind))
        .string(kLocation, u":iPod_Control:Music:F00:T" +
                               std::u16string(1, char16_t(u'A' + id % 26)) + u".mp3")
        .string(kTitle, title)
        .string(kArtist, u"Artist");
}

DatabaseBytes tracksDataset(std::uint32_t count) {
    DatabaseBytes db;
    db.root().dataset(1).trackList(count);
    return db;
}

TEST(MusicDatabaseReader, EmptyAndHeadOnlyFilesReadNothing) {
    for (const std::size_t length : {0U, 4U, 8U}) {
        PlayerLibrary library(utf8Codec());
        std::vector<std::uint8_t> bytes = DatabaseBytes().root().bytes();
        bytes.resize(length);
        const ReadOutcome outcome = read(library, bytes);
        EXPECT_EQ(outcome.end, ReadOutcome::End::EndOfData) << length;
        EXPECT_TRUE(library.trackIds.empty());
        EXPECT_TRUE(library.playlistNames.empty());
    }
}

TEST(MusicDatabaseReader, ReadsEveryTrackFieldFromTheHeaderAndStrings) {
    TrackHeader t = trackWith(0x1234, 7, 8);
    t.rating = 80;
    t.appRating = 0;
    t.size = 5'000'000;
    t.lengthMs = 1999;
    t.trackNumber = 7;
    t.year = 1999;
    t.bitrate = 1;
    t.playCount = 12;
    t.lastPlayed = 3'500'000'000U;
    t.bpm = 128;
    DatabaseBytes db = tracksDataset(1);
    db.track(t)
        .string(kLocation, u":iPod_Control:Music:F01:ABCD.m4b")
        .string(kTitle, u"Chapter One")
        .string(kAlbum, u"The Book")
        .string(kArtist, u"Reader")
        .string(kGenre, u"Audiobook")
        .string(kComposer, u"Writer")
        .string(kTypeText, u"AAC audio file");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());

    ASSERT_EQ(library.trackIds, (std::vector<std::uint32_t>{0x1234}));
    const MhTrackData* track = library.findTrack(0x1234);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->location, ":iPod_Control:Music:F01:ABCD.m4b");
    EXPECT_EQ(track->title, "Chapter One");
    EXPECT_EQ(track->album, "The Book");
    EXPECT_EQ(track->artist, "Reader");
    EXPECT_EQ(track->genre, "Audiobook");
    EXPECT_EQ(track->composer, "Writer");
    EXPECT_EQ(track->fileType, 8) << "the extension wins over the type text";
    EXPECT_EQ(track->size, 5'000'000U);
    EXPECT_EQ(track->lengthMs, 1999U);
    EXPECT_EQ(track->trackNumber, 7U);
    EXPECT_EQ(track->year, 1999U);
    EXPECT_EQ(track->bitrate, 1U);
    EXPECT_EQ(track->playCount, 12U);
    EXPECT_EQ(track->lastPlayed, 3'500'000'000U);
    EXPECT_EQ(track->rating, 80) << "the user's rating at +31, not the application's copy";
    EXPECT_EQ(track->bpm, 128);
    EXPECT_EQ(track->mediaKind, 8U);
    EXPECT_TRUE(library.videoIds.empty());
    EXPECT_EQ(library.podcastCount, 0);
}

TEST(MusicDatabaseReader, OutOfRangeRatingAndTempoReadAsZero) {
    TrackHeader t = trackWith(1, 1);
    t.rating = 101;
    t.appRating = 60;
    t.bpm = 1000;
    DatabaseBytes db = tracksDataset(1);
    db.track(t).string(kTitle, u"x");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(1), nullptr);
    EXPECT_EQ(library.findTrack(1)->rating, 0);
    EXPECT_EQ(library.findTrack(1)->bpm, 0);
}

TEST(MusicDatabaseReader, SortsTracksIntoVideosAndCountsPodcasts) {
    DatabaseBytes db = tracksDataset(8);
    const std::uint32_t kinds[] = {0, 1, 2, 4, 6, 8, 32, 64};
    for (std::uint32_t i = 0; i < 8; ++i) {
        addTrack(db, 100 + i, u"t", kinds[i]);
    }
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.trackIds.size(), 8U);
    EXPECT_EQ(library.videoIds, (std::vector<std::uint32_t>{102, 104, 106, 107}));
    EXPECT_EQ(library.podcastCount, 1) << "only kind 4 is a podcast; 6 is a video";
}

TEST(MusicDatabaseReader, FieldsBeyondAShortHeaderReadAsZero) {
    TrackHeader t = trackWith(9, 1, 2);
    t.headerLength = 156;
    t.bpm = 90;
    DatabaseBytes db = tracksDataset(1);
    db.track(t).string(kTitle, u"Old");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(9), nullptr);
    EXPECT_EQ(library.findTrack(9)->mediaKind, 0U);
    EXPECT_EQ(library.findTrack(9)->bpm, 90) << "+122 lies inside a 156-byte header";
    EXPECT_TRUE(library.videoIds.empty());
}

TEST(MusicDatabaseReader, TrackWhoseChildrenNeverAllArriveIsDroppedWhenPlaylistsStart) {
    DatabaseBytes db = tracksDataset(2);
    db.track(trackWith(1, 3, 2)).string(kLocation, u":a.mp3").string(kTitle, u"cut short");
    addTrack(db, 2, u"whole");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{1, 2}))
        << "without a playlist dataset the id stays";

    db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master").playlistItem(2);
    PlayerLibrary withPlaylists(utf8Codec());
    read(withPlaylists, db.bytes());
    EXPECT_EQ(withPlaylists.findTrack(1), nullptr);
    EXPECT_EQ(withPlaylists.trackIds, (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(withPlaylists.videoIds, (std::vector<std::uint32_t>{1})) << "videos are not checked";
}

TEST(MusicDatabaseReader, TrackWithoutStringChildrenStillGetsItsRecord) {
    DatabaseBytes db = tracksDataset(2);
    db.track(trackWith(1, 0));
    addTrack(db, 2, u"next");
    db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{1, 2}))
        << "dropping it would shift every later track's play counts";
    ASSERT_NE(library.findTrack(1), nullptr);
    EXPECT_EQ(library.findTrack(1)->fileType, 2);
    EXPECT_EQ(library.findTrack(2)->title, "next");
}

TEST(MusicDatabaseReader, SmartRuleChildrenAreNotCountedAgainstTheTrack) {
    DatabaseBytes db = tracksDataset(1);
    db.track(trackWith(5, 2))
        .stringWithBody(50, std::vector<std::uint8_t>(40, 0xAB))
        .string(kTitle, u"Title")
        .stringWithBody(51, std::vector<std::uint8_t>(8, 0))
        .string(kArtist, u"Artist");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(5), nullptr);
    EXPECT_EQ(library.findTrack(5)->artist, "Artist");
}

TEST(MusicDatabaseReader, SameIdTwiceKeepsTheLaterRecordAndBothListings) {
    DatabaseBytes db = tracksDataset(2);
    addTrack(db, 7, u"first");
    addTrack(db, 7, u"second");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{7, 7}));
    EXPECT_EQ(library.findTrack(7)->title, "second");
}

TEST(MusicDatabaseReader, FileTypeComesFromTheExtensionThenTheTypeText) {
    struct Case {
        std::u16string location;
        std::u16string typeText;
        std::uint8_t expected;
    };
    const std::vector<Case> cases = {
        {u":M:F00:A.MP3", u"", 2},
        {u":M:F00:A.aa", u"", 6},
        {u":M:F00:A", u"AAC audio file", 5},
        {u":M:F00:A", u"", 2},
        {u":M:F00:A.mov", u"MPEG audio file", 13},
        {u":M:F00:A.flac", u"", 11},
        {u":M:F00:A.x", u"  Protected AAC audio file ", 7},
        {u":M:F00:A.3gp", u"MPEG-4 video file", 9},
        {u":M:F00:A.3gp", u"Protected MPEG-4 video file", 12},
        {u":M:F00:A", u"WAV audio file", 1},
        {u":M:F00:A", u"Some other kind", 6},
        // The extension is what follows the last dot of the name, two to four letters long.
        {u":M:F00:A.wav.Mp4", u"WAV audio file", 5},
        {u".m4b", u"WAV audio file", 8},
        {u":M:F00:A.mp3/B", u"WAV audio file", 1},
        {u":M:F00:A.mp3\\B", u"WAV audio file", 1},
        {u":M:F00:A.m", u"WAV audio file", 1},
        {u":M:F00:A.", u"WAV audio file", 1},
        {u":M:F00:A.flacc", u"WAV audio file", 1},
    };
    for (const Case& c : cases) {
        DatabaseBytes db = tracksDataset(1);
        db.track(trackWith(1, 2)).string(kLocation, c.location).string(kTypeText, c.typeText);
        PlayerLibrary library(utf8Codec());
        read(library, db.bytes());
        ASSERT_NE(library.findTrack(1), nullptr);
        EXPECT_EQ(library.findTrack(1)->fileType, c.expected)
            << std::string(c.location.begin(), c.location.end());
    }
}

TEST(MusicDatabaseReader, CutsTagsAndPathsButNotPlaylistNames) {
    const std::u16string longText(300, u'a');
    DatabaseBytes db = tracksDataset(1);
    db.track(trackWith(1, 2)).string(kTitle, longText).string(kLocation, u":" + longText);
    db.dataset(2)
        .playlistList(2)
        .playlist()
        .string(kTitle, u"Master")
        .playlist()
        .string(kTitle, longText);
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(1), nullptr);
    EXPECT_EQ(library.findTrack(1)->title.size(), 256U);
    EXPECT_EQ(library.findTrack(1)->location.size(), 260U);
    ASSERT_EQ(library.playlistNames.size(), 2U);
    EXPECT_EQ(library.playlistNames[1].size(), 300U);
}

TEST(MusicDatabaseReader, CuttingNeverSplitsAMultiByteCharacter) {
    const std::u16string japanese(100, u'\u65E5');  // three bytes each in UTF-8
    const std::u16string emoji = [] {
        std::u16string s;
        for (int i = 0; i < 70; ++i) {
            s += u"\U0001F3B5";  // four bytes each in UTF-8
        }
        return s;
    }();
    DatabaseBytes db = tracksDataset(2);
    db.track(trackWith(1, 1)).string(kTitle, japanese);
    db.track(trackWith(2, 1)).string(kTitle, emoji);
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    std::string eightyFiveCharacters;
    for (int i = 0; i < 85; ++i) {
        eightyFiveCharacters += "\xE6\x97\xA5";
    }
    EXPECT_EQ(library.findTrack(1)->title, eightyFiveCharacters);
    EXPECT_EQ(library.findTrack(2)->title.size(), 256U);
    EXPECT_EQ(library.findTrack(2)->title.substr(252), "\xF0\x9F\x8E\xB5");
}

TEST(MusicDatabaseReader, StringsMarkedUtf8AreDecodedAsUtf8) {
    DatabaseBytes db = tracksDataset(1);
    db.track(trackWith(1, 2))
        .utf8String(kTitle, "Caf\xC3\xA9 \xE6\x97\xA5")
        .utf8String(kLocation, ":iPod_Control:Music:F00:ABCD.ogg");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(1), nullptr);
    EXPECT_EQ(library.findTrack(1)->title, "Caf\xC3\xA9 \xE6\x97\xA5");
    EXPECT_EQ(library.findTrack(1)->fileType, 10);
}

TEST(MusicDatabaseReader, StoresTextsInTheCodePageAndFallsBackToUtf8) {
    DatabaseBytes db = tracksDataset(1);
    db.track(trackWith(1, 4))
        .string(kTitle, u"Caf\u00E9")
        .string(kArtist, u"\u5B87\u591A\u7530")
        .utf8String(kAlbum, "D\xC3\xA9j\xC3\xA0 vu")
        .utf8String(kGenre, "\xD0\xA0\xD0\xBE\xD0\xBA");
    PlayerLibrary library(westernCodec());
    read(library, db.bytes());
    const MhTrackData* track = library.findTrack(1);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->title, "Caf\xE9") << "the code page holds it";
    EXPECT_EQ(track->artist, "\xE5\xAE\x87\xE5\xA4\x9A\xE7\x94\xB0") << "it does not: UTF-8";
    EXPECT_EQ(track->album, "D\xE9j\xE0 vu");
    EXPECT_EQ(track->genre, "\xD0\xA0\xD0\xBE\xD0\xBA");
}

TEST(MusicDatabaseReader, StatedTextLengthIsLimitedToTheBodyRead) {
    std::vector<std::uint8_t> body(16, 0);
    test::put32(body, 0, 1);
    test::put32(body, 4, 5000);
    const auto text = test::utf16le(u"Short");
    body.insert(body.end(), text.begin(), text.end());
    DatabaseBytes db = tracksDataset(2);
    db.track(trackWith(1, 1)).stringWithBody(kTitle, body);
    addTrack(db, 2, u"after");
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    ASSERT_NE(library.findTrack(1), nullptr);
    EXPECT_EQ(library.findTrack(1)->title, "Short");
    EXPECT_EQ(library.findTrack(2)->title, "after");
}

TEST(MusicDatabaseReader, LongStringBodiesAreSkippedWithoutLosingTheNextRecord) {
    std::vector<std::uint8_t> hugeIndex(400'000, 0x5A);
    DatabaseBytes db = tracksDataset(1);
    addTrack(db, 1, u"one");
    db.dataset(2)
        .playlistList(1)
        .playlist()
        .string(kTitle, u"Master")
        .stringWithBody(52, hugeIndex);
    db.playlistItem(1).stringWithBody(100, std::vector<std::uint8_t>(20, 0));
    PlayerLibrary library(utf8Codec());
    const ReadOutcome outcome = read(library, db.bytes());
    EXPECT_EQ(outcome.end, ReadOutcome::End::EndOfData);
    ASSERT_EQ(library.playlistNames.size(), 1U);
    EXPECT_EQ(library.playlistNames[0], "Master");
    EXPECT_EQ(library.playlistItems["Master"], (std::vector<std::uint32_t>{1}));
}

TEST(MusicDatabaseReader, PlaylistsKeepOrderDropUnknownTracksAndShareDuplicateNames) {
    DatabaseBytes db = tracksDataset(3);
    addTrack(db, 10, u"a");
    addTrack(db, 11, u"b");
    addTrack(db, 12, u"c");
    db.dataset(2).playlistList(4);
    db.playlist().string(kTitle, u"Master").playlistItem(10).playlistItem(11).playlistItem(12);
    db.playlist()
        .string(kTitle, u"Mix")
        .playlistItem(12)
        .playlistItem(999)
        .playlistItem(10)
        .playlistItem(12);
    db.playlist().string(kTitle, u"Dup").playlistItem(10);
    db.playlist().string(kTitle, u"Dup").playlistItem(11);
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"Master", "Mix", "Dup", "Dup"}));
    EXPECT_EQ(library.playlistItems["Mix"], (std::vector<std::uint32_t>{12, 10, 12}));
    EXPECT_EQ(library.playlistItems["Dup"], (std::vector<std::uint32_t>{11}))
        << "the later playlist of a name owns its items";
}

TEST(MusicDatabaseReader, PodcastPlaylistDatasetIsSkippedWhole) {
    DatabaseBytes db = tracksDataset(1);
    addTrack(db, 1, u"episode", 4);
    db.dataset(3).playlistList(1).playlist().string(kTitle, u"Show").playlistItem(1);
    db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master").playlistItem(1);
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"Master"}));
}

TEST(MusicDatabaseReader, UnknownRecordKindsBeforeTheTracksAreIgnored) {
    DatabaseBytes db;
    db.root().dataset(4).record("mhla", 92).record("mhia", 88).string(200, u"Album item");
    db.dataset(8).record("mhli", 92).record("mhii", 80).string(300, u"Artist item");
    db.dataset(1).trackList(1);
    addTrack(db, 3, u"song");
    db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master").playlistItem(3);
    PlayerLibrary library(utf8Codec());
    read(library, db.bytes());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(library.playlistItems["Master"], (std::vector<std::uint32_t>{3}));
}

TEST(MusicDatabaseReader, MalformedLengthsEndTheReadKeepingWhatCameBefore) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> tail;
    };
    const auto withHeaderLength = [](std::string_view tag, std::uint32_t length) {
        std::vector<std::uint8_t> r(8, 0);
        std::copy(tag.begin(), tag.end(), r.begin());
        test::put32(r, 4, length);
        return r;
    };
    const auto stringWithTotal = [](std::uint32_t total) {
        std::vector<std::uint8_t> r(24, 0);
        std::copy_n("mhod", 4, r.begin());
        test::put32(r, 4, 24);
        test::put32(r, 8, total);
        test::put32(r, 12, 1);
        return r;
    };
    std::vector<Case> cases = {
        {"header length 0", withHeaderLength("mhyp", 0)},
        {"header length 7", withHeaderLength("mhyp", 7)},
        {"header length 3 GB", withHeaderLength("mhyp", 3'000'000'000U)},
        {"header past the end", withHeaderLength("mhyp", 5000)},
        {"string shorter than its header", stringWithTotal(10)},
        {"string past the end", stringWithTotal(100'000)},
    };
    for (const Case& c : cases) {
        DatabaseBytes db = tracksDataset(1);
        addTrack(db, 1, u"kept");
        db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master").playlistItem(1);
        db.raw(c.tail);
        db.raw(DatabaseBytes().playlist().string(kTitle, u"never read").bytes());
        PlayerLibrary library(utf8Codec());
        const ReadOutcome outcome = read(library, db.bytes());
        EXPECT_NE(outcome.end, ReadOutcome::End::ReadError) << c.name;
        EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{1})) << c.name;
        EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"Master"}))
            << c.name << ": the pending playlist is stored";
        EXPECT_EQ(library.playlistItems["Master"], (std::vector<std::uint32_t>{1})) << c.name;
    }
}

TEST(MusicDatabaseReader, DatasetShorterThanItsHeaderEndsTheRead) {
    DatabaseBytes db = tracksDataset(1);
    addTrack(db, 1, u"kept");
    db.dataset(3, 10).playlistList(1).playlist().string(kTitle, u"Show");
    PlayerLibrary library(utf8Codec());
    const ReadOutcome outcome = read(library, db.bytes());
    EXPECT_EQ(outcome.end, ReadOutcome::End::Malformed);
    EXPECT_EQ(library.trackIds.size(), 1U);
    EXPECT_TRUE(library.playlistNames.empty());
}

// Everything a read yields, as one text to compare.
std::string readResult(ByteSource& source) {
    PlayerLibrary library(utf8Codec());
    test::RecordingProgress progress;
    const ReadOutcome outcome = readMusicDatabase(library, source, progress);
    std::string result = std::to_string(static_cast<int>(outcome.end)) + " " +
                         std::to_string(outcome.offset) + " " + outcome.reason + "\n";
    for (const std::uint32_t id : library.trackIds) {
        const MhTrackData* track = library.findTrack(id);
        result += std::to_string(id) + " " +
                  (track == nullptr ? "-"
                                    : track->location + "|" + track->title + "|" + track->artist +
                                          "|" + std::to_string(track->fileType)) +
                  "\n";
    }
    for (const std::string& name : library.playlistNames) {
        result += name + ":";
        for (const std::uint32_t id : library.playlistItems[name]) {
            result += " " + std::to_string(id);
        }
        result += "\n";
    }
    return result;
}

TEST(MusicDatabaseReader, EveryTruncatedPrefixReadsSafelyAndMonotonically) {
    DatabaseBytes db = tracksDataset(3);
    addTrack(db, 1, u"one");
    addTrack(db, 2, u"\u0414\u0432\u0430");
    addTrack(db, 3, u"three", 2);
    db.dataset(2)
        .playlistList(2)
        .playlist()
        .string(kTitle, u"Master")
        .playlistItem(1)
        .playlistItem(2)
        .playlistItem(3);
    db.playlist().string(kTitle, u"List").playlistItem(3);
    const std::vector<std::uint8_t> whole = db.bytes();
    std::size_t previousRecords = 0;
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        PlayerLibrary library(utf8Codec());
        const std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + length);
        read(library, prefix);
        ASSERT_LE(library.trackIds.size(), 3U);
        ASSERT_GE(library.tracks.size(), previousRecords) << length;
        previousRecords = library.tracks.size();
        // Shown in place or copied out, the bytes read alike, up to where each read stops.
        MemoryByteSource shown(prefix);
        test::CopyingSource copied(prefix);
        ASSERT_EQ(readResult(shown), readResult(copied)) << length;
    }
    PlayerLibrary library(utf8Codec());
    read(library, whole);
    EXPECT_EQ(library.tracks.size(), 3U);
    EXPECT_EQ(library.playlistNames, (std::vector<std::string>{"Master", "List"}));
}

// Delivers `good` bytes, then fails as a device that went away would.
class FailingSource final : public ByteSource {
  public:
    FailingSource(std::vector<std::uint8_t> bytes, std::size_t good)
        : bytes_(std::move(bytes)), good_(good) {}
    std::size_t read(std::span<std::uint8_t> out) override {
        const std::size_t n = std::min(out.size(), good_ > pos_ ? good_ - pos_ : 0);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out.begin());
        pos_ += n;
        failed_ = n < out.size();
        return n;
    }
    void skip(std::uint64_t count) override { pos_ += static_cast<std::size_t>(count); }
    [[nodiscard]] std::uint64_t position() const override { return pos_; }
    [[nodiscard]] std::uint64_t size() const override { return bytes_.size(); }
    [[nodiscard]] bool failed() const override { return failed_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t good_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

TEST(MusicDatabaseReader, ReadErrorKeepsTracksButLosesThePendingPlaylist) {
    DatabaseBytes db = tracksDataset(1);
    addTrack(db, 1, u"one");
    db.dataset(2).playlistList(1).playlist().string(kTitle, u"Master").playlistItem(1);
    const std::vector<std::uint8_t> bytes = db.bytes();
    FailingSource source(bytes, bytes.size() - 10);
    PlayerLibrary library(utf8Codec());
    test::RecordingProgress progress;
    const ReadOutcome outcome = readMusicDatabase(library, source, progress);
    EXPECT_EQ(outcome.end, ReadOutcome::End::ReadError);
    EXPECT_EQ(library.trackIds.size(), 1U);
    EXPECT_TRUE(library.playlistNames.empty());
}

TEST(MusicDatabaseReader, ReportsProgressEvery1500RecordsAgainstTheFileLength) {
    // Tracks without children are one record each, so the count is easy to follow: three head
    // records, then 3000 tracks make records 1500 and 3000 land on tracks.
    DatabaseBytes db = tracksDataset(3000);
    for (std::uint32_t i = 0; i < 3000; ++i) {
        db.track(trackWith(i + 1, 0));
    }
    const std::vector<std::uint8_t> bytes = db.bytes();
    MemoryByteSource source(bytes);
    test::RecordingProgress progress;
    PlayerLibrary library(utf8Codec());
    readMusicDatabase(library, source, progress);
    ASSERT_EQ(progress.ranges.size(), 1U);
    EXPECT_EQ(progress.ranges[0].second, bytes.size());
    const std::uint32_t afterHead = 0x68 + 96 + 92;
    EXPECT_EQ(progress.positions,
              (std::vector<std::uint32_t>{afterHead + 1497 * 584, afterHead + 2997 * 584}));
    EXPECT_EQ(progress.pumps, 2);
}

TEST(MusicDatabaseReader, MissingDatabaseReadsNothingQuietly) {
    test::TempFolder folder;
    PlayerLibrary library(utf8Codec());
    library.rootPath = folder.root();
    library.podcastCount = 5;
    test::RecordingProgress progress;
    EXPECT_FALSE(readMusic(library, progress).has_value());
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Reading Music..."}));
    EXPECT_EQ(library.podcastCount, 0);
    EXPECT_TRUE(library.trackIds.empty());
}

TEST(MusicDatabaseReader, FindsTheDatabaseWhateverTheCaseOfItsFolders) {
    test::TempFolder folder;
    DatabaseBytes db = tracksDataset(1);
    addTrack(db, 4, u"found");
    test::writeFile(folder.path() / "IPOD_CONTROL" / "itunes" / "ITUNESDB", db.bytes());
    PlayerLibrary library(utf8Codec());
    library.rootPath = folder.root();
    test::RecordingProgress progress;
    ASSERT_TRUE(readMusic(library, progress).has_value());
    EXPECT_EQ(library.trackIds, (std::vector<std::uint32_t>{4}));
}

}  // namespace
}  // namespace pelmar
