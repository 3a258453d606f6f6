#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "player_image/player_image.h"

namespace pelmar::player_image::test {
namespace {

PlayerImage imageWithPhotos(std::uint32_t photoCount) {
    Options options;
    options.trackCount = 20;
    options.photoCount = photoCount;
    return generatePlayerImage(options);
}

TEST(PhotoGeneration, AlbumsListOnlyPhotosThatExistAndTheMasterListsThemAll) {
    for (const std::uint32_t count : {0U, 1U, 5U, 12U, 100U}) {
        SCOPED_TRACE(count);
        const PlayerImage image = imageWithPhotos(count);
        ASSERT_EQ(image.photos.size(), count);
        std::vector<std::uint32_t> ids;
        for (const Photo& photo : image.photos) {
            ids.push_back(photo.id);
        }
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        EXPECT_EQ(std::set<std::uint32_t>(ids.begin(), ids.end()).size(), ids.size());
        ASSERT_FALSE(image.photoAlbums.empty());
        EXPECT_EQ(image.photoAlbums.front().photoIds, ids);
        const std::set<std::uint32_t> existing(ids.begin(), ids.end());
        for (const PhotoAlbum& album : image.photoAlbums) {
            for (const std::uint32_t id : album.photoIds) {
                EXPECT_TRUE(existing.contains(id)) << album.name;
            }
            EXPECT_TRUE(album.hasNameObject || album.name.empty());
        }
    }
}

TEST(PhotoGeneration, EveryKindOfPictureAppearsInTheDefaultImage) {
    const PlayerImage image = generatePlayerImage(Options{});
    std::set<PhotoPicture> pictures;
    for (const Photo& photo : image.photos) {
        pictures.insert(photo.picture);
    }
    EXPECT_EQ(pictures.size(), 9U);
}

TEST(PhotoGeneration, WithoutPhotosThereAreNoPhotosAndNoAlbums) {
    Options options;
    options.withPhotos = false;
    const PlayerImage image = generatePlayerImage(options);
    EXPECT_TRUE(image.photos.empty());
    EXPECT_TRUE(image.photoAlbums.empty());
}

TEST(PhotoGeneration, RefusesMorePhotosThanThumbnailOffsetsCanReach) {
    Options options;
    options.photoCount = kMostPhotos + 1;
    EXPECT_THROW((void)generatePlayerImage(options), std::invalid_argument);
}

TEST(PhotoGeneration, PhotosLeaveTheMusicSideAsItWas) {
    Options without;
    without.withPhotos = false;
    Options many;
    many.photoCount = 100;
    const PlayerImage plain = generatePlayerImage(without);
    const PlayerImage withPhotos = generatePlayerImage(many);
    EXPECT_EQ(musicDatabaseBytes(plain), musicDatabaseBytes(withPhotos));
    EXPECT_EQ(playCountBytes(plain, 28), playCountBytes(withPhotos, 28));
}

}  // namespace
}  // namespace pelmar::player_image::test
