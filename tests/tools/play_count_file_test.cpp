#include <gtest/gtest.h>

#include <stdexcept>

#include "player_image/player_image.h"

namespace pelmar::player_image::test {
namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at) | (bytes.at(at + 1) << 8) |
                                      (bytes.at(at + 2) << 16) |
                                      (std::uint32_t{bytes.at(at + 3)} << 24));
}

PlayerImage imageWithEntries(std::vector<PlayCountEntry> entries) {
    PlayerImage image;
    image.playCounts = std::move(entries);
    return image;
}

const PlayCountEntry kPlayed{7, 3'500'000'000U, 61'000, 80, 3, 3'500'100'000U};
const PlayCountEntry kUntouched{};

TEST(PlayCountFile, HeaderGivesItsLengthTheEntryLengthAndTheEntryCount) {
    for (const std::uint32_t entryLength : {12U, 16U, 20U, 28U}) {
        const auto bytes =
            playCountBytes(imageWithEntries({kPlayed, kUntouched, kPlayed}), entryLength);
        ASSERT_EQ(bytes.size(), 0x60 + 3 * entryLength);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "mhdp");
        EXPECT_EQ(u32At(bytes, 4), 0x60U);
        EXPECT_EQ(u32At(bytes, 8), entryLength);
        EXPECT_EQ(u32At(bytes, 12), 3U);
    }
}

TEST(PlayCountFile, EveryEntryHoldsPlaysTimeAndBookmark) {
    for (const std::uint32_t entryLength : {12U, 16U, 20U, 28U}) {
        const auto bytes = playCountBytes(imageWithEntries({kUntouched, kPlayed}), entryLength);
        const std::size_t second = 0x60 + entryLength;
        EXPECT_EQ(u32At(bytes, second), kPlayed.plays) << entryLength;
        EXPECT_EQ(u32At(bytes, second + 4), kPlayed.lastPlayed) << entryLength;
        EXPECT_EQ(u32At(bytes, second + 8), kPlayed.bookmark) << entryLength;
        for (std::size_t i = 0x60; i < second; ++i) {
            EXPECT_EQ(bytes[i], 0) << "an untouched entry is all zero";
        }
    }
}

TEST(PlayCountFile, RatingAndSkipsAppearOnlyInEntriesLongEnoughForThem) {
    const auto twelve = playCountBytes(imageWithEntries({kPlayed, kPlayed}), 12);
    EXPECT_EQ(u32At(twelve, 0x60 + 12), kPlayed.plays) << "the next entry follows the bookmark";

    const auto sixteen = playCountBytes(imageWithEntries({kPlayed}), 16);
    EXPECT_EQ(sixteen[0x60 + 12], kPlayed.rating);

    const auto twenty = playCountBytes(imageWithEntries({kPlayed}), 20);
    EXPECT_EQ(twenty[0x60 + 12], kPlayed.rating);
    EXPECT_EQ(u32At(twenty, 0x60 + 16), 0U);

    const auto twentyEight = playCountBytes(imageWithEntries({kPlayed}), 28);
    EXPECT_EQ(twentyEight[0x60 + 12], kPlayed.rating);
    EXPECT_EQ(u32At(twentyEight, 0x60 + 20), kPlayed.skipCount);
    EXPECT_EQ(u32At(twentyEight, 0x60 + 24), kPlayed.lastSkipped);
}

TEST(PlayCountFile, EntriesShorterThanTwelveBytesAreRefused) {
    EXPECT_THROW((void)playCountBytes(imageWithEntries({kPlayed}), 8), std::invalid_argument);
}

TEST(PlayCountFile, GeneratedEntriesFollowTheTracksAndMixUntouchedPlayedAndRerated) {
    const PlayerImage image = generatePlayerImage(Options{});
    ASSERT_EQ(image.playCounts.size(), image.tracks.size());
    std::size_t untouched = 0;
    std::size_t played = 0;
    std::size_t rerated = 0;
    for (std::size_t i = 0; i < image.playCounts.size(); ++i) {
        const PlayCountEntry& entry = image.playCounts[i];
        const bool unplayed = entry.plays == 0 && entry.lastPlayed == 0;
        untouched += unplayed && entry.rating == image.tracks[i].rating ? 1 : 0;
        played += entry.plays > 0 && entry.lastPlayed != 0 ? 1 : 0;
        rerated += entry.rating != image.tracks[i].rating ? 1 : 0;
        EXPECT_EQ(entry.plays == 0, entry.lastPlayed == 0) << "entry " << i;
        EXPECT_LE(entry.rating, 100);
        EXPECT_EQ(entry.rating % 20, 0);
    }
    EXPECT_GT(untouched, 20U);
    EXPECT_GT(played, 20U);
    EXPECT_GT(rerated, 10U);
}

}  // namespace
}  // namespace pelmar::player_image::test
