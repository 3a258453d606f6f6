#include <gtest/gtest.h>

#include "player_image/player_image.h"

namespace pelmar::player_image::test {
namespace {

struct ImageBytes {
    std::vector<std::uint8_t> database;
    std::vector<std::uint8_t> playCounts;
    std::vector<std::uint8_t> firstMediaFile;
    std::vector<std::uint8_t> photoDatabase;
    std::vector<std::uint8_t> listThumbnails;
    std::vector<std::uint8_t> televisionThumbnails;

    bool operator==(const ImageBytes&) const = default;
};

ImageBytes bytesFor(std::uint64_t seed) {
    Options options;
    options.seed = seed;
    const PlayerImage image = generatePlayerImage(options);
    return {musicDatabaseBytes(image),          playCountBytes(image, 28),
            mediaFileBytes(image.tracks.at(0)), photoDatabaseBytes(image),
            thumbnailFileBytes(image, 1009),    thumbnailFileBytes(image, 1019)};
}

TEST(PlayerImageDeterminism, TheSameSeedGivesTheSameBytes) {
    EXPECT_TRUE(bytesFor(7) == bytesFor(7));
}

TEST(PlayerImageDeterminism, AnotherSeedGivesAnotherLibrary) {
    const ImageBytes first = bytesFor(7);
    const ImageBytes second = bytesFor(8);
    EXPECT_NE(first.database, second.database);
    EXPECT_NE(first.playCounts, second.playCounts);
    EXPECT_NE(first.photoDatabase, second.photoDatabase);
}

TEST(PlayerImageDeterminism, TrackIdsNamesAndPlacesDoNotDependOnTheLayoutOptions) {
    Options plain;
    Options layout;
    layout.trackHeaderLength = 244;
    layout.albumsBeforeTracks = true;
    layout.withMedia = false;
    const PlayerImage a = generatePlayerImage(plain);
    const PlayerImage b = generatePlayerImage(layout);
    ASSERT_EQ(a.tracks.size(), b.tracks.size());
    for (std::size_t i = 0; i < a.tracks.size(); ++i) {
        EXPECT_EQ(a.tracks[i].id, b.tracks[i].id);
        EXPECT_EQ(a.tracks[i].title, b.tracks[i].title);
        EXPECT_EQ(a.tracks[i].location, b.tracks[i].location);
    }
}

}  // namespace
}  // namespace pelmar::player_image::test
