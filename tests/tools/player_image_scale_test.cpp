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

}  // namespace
}  // namespace pelmar::player_image::test
