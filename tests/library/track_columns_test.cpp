#include "library/track_columns.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TrackInfo sample() {
    TrackInfo t;
    t.artist = "Band";
    t.album = "Album";
    t.title = "Song";
    t.trackNumber = 7;
    t.fileType = 5;
    return t;
}

TEST(TrackColumns, NameLeavesOutEmptyPartsButSortKeyKeepsAllFive) {
    TrackInfo t = sample();
    EXPECT_EQ(trackNameText(t), "Band - Album - 07 - Song");
    EXPECT_EQ(trackSortKey(t), "Band - Album - 07 - Song.m4a");
    t.artist.clear();
    t.album.clear();
    t.trackNumber = 0;
    EXPECT_EQ(trackNameText(t), "Song");
    EXPECT_EQ(trackSortKey(t), " -  - 00 - Song.m4a");
    t.trackNumber = 123;
    EXPECT_EQ(trackNameText(t), "123 - Song");
}

TEST(TrackColumns, NumbersFormatAsTheListShowsThem) {
    TrackInfo t = sample();
    t.size = 1023;
    t.lengthSeconds = 59;
    t.bitrate = 1;
    t.rating = 99;
    EXPECT_EQ(trackSizeText(t), "0 KB");
    EXPECT_EQ(trackLengthText(t), "0:59");
    EXPECT_EQ(trackBitrateText(t), "VBR");
    EXPECT_EQ(trackRatingText(t), "4");
    t.size = 5 * 1024 * 1024;
    t.lengthSeconds = 3 * 3600 + 7;
    t.bitrate = 256;
    EXPECT_EQ(trackSizeText(t), "5120 KB");
    EXPECT_EQ(trackLengthText(t), "180:07");
    EXPECT_EQ(trackBitrateText(t), "256 Kbps");
}

TEST(TrackColumns, TypeTextCoversEveryCodeAndNothingElse) {
    const char* expected[] = {"",    "wav", "mp3", "wma", "nvf",  "m4a", "aa",
                              "m4p", "m4b", "mp4", "ogg", "flac", "m4v", "mov"};
    TrackInfo t;
    for (std::uint8_t code = 0; code < 14; ++code) {
        t.fileType = code;
        EXPECT_EQ(trackTypeText(t), expected[code]) << int(code);
    }
    t.fileType = 14;
    EXPECT_EQ(trackTypeText(t), "");
}

TEST(TrackColumns, LastPlayedShowsThePlayersClockTimeOrNothing) {
    TrackInfo t;
    t.lastPlayed = 1'700'000'000U;  // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(trackLastPlayedText(t), "11/14/2023 10:13 PM");
    t.lastPlayed = 0U - 2082844800U;  // a stored time of 0: never played
    EXPECT_EQ(trackLastPlayedText(t), "");
}

}  // namespace
}  // namespace pelmar
