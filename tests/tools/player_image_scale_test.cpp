#include <gtest/gtest.h>

#include <chrono>

#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar::player_image::test {
namespace {

TEST(PlayerImageScale, TwentyThousandTracksAreWrittenQuicklyAtARealisticSize) {
    Options options;
    options.trackCount = 20'000;
    options.withMedia = false;
    pelmar::test::TempFolder folder;
    std::string error;

    const auto started = std::chrono::steady_clock::now();
    const PlayerImage image = generatePlayerImage(options);
    ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;

    // Generous for sanitizer builds; an optimised build needs a fraction of a second.
    EXPECT_LT(took.count(), 20.0);
    const double bytesPerTrack =
        static_cast<double>(std::filesystem::file_size(musicDatabasePath(folder.path()))) /
        options.trackCount;
    EXPECT_GT(bytesPerTrack, 1'300.0);
    EXPECT_LT(bytesPerTrack, 2'200.0);
}

TEST(PlayerImageScale, AHundredPhotosAreWrittenQuickly) {
    Options options;
    options.trackCount = 10;
    options.withMedia = false;
    options.photoCount = 100;
    pelmar::test::TempFolder folder;
    std::string error;

    const auto started = std::chrono::steady_clock::now();
    const PlayerImage image = generatePlayerImage(options);
    ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;

    // Generous for sanitizer builds; an optimised build needs about a tenth of a second.
    EXPECT_LT(took.count(), 10.0);
    std::uintmax_t thumbnailBytes = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder.path() / "Photos" / "Thumbs")) {
        thumbnailBytes += entry.file_size();
    }
    // About a fifth of the photos carry the 691,200-byte television thumbnail.
    EXPECT_GT(thumbnailBytes, 10'000'000U);
    EXPECT_LT(thumbnailBytes, 30'000'000U);
}

}  // namespace
}  // namespace pelmar::player_image::test
