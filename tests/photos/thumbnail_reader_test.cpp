#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "photos/thumbnail_decoder.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace image = player_image;
namespace fs = std::filesystem;

// A player whose photos show every picture in every thumbnail format the writer produces.
class PlayerThumbnails : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new test::TempFolder;
        image::Options options;
        options.trackCount = 3;
        options.withMedia = false;
        options.photoCount = 54;
        player_ = new image::PlayerImage(image::generatePlayerImage(options));
        // The writer's families of formats repeat every 6 photos; give each family every picture.
        constexpr int kPictures = 9;
        for (std::size_t position = 0; position < player_->photos.size(); ++position) {
            player_->photos[position].picture =
                static_cast<image::PhotoPicture>(position / 6 % kPictures);
        }
        std::string error;
        ASSERT_TRUE(image::writePlayerImage(*player_, folder_->path(), options, error)) << error;
    }

    static void TearDownTestSuite() {
        delete player_;
        delete folder_;
    }

    static test::TempFolder* folder_;
    static image::PlayerImage* player_;
};

test::TempFolder* PlayerThumbnails::folder_ = nullptr;
image::PlayerImage* PlayerThumbnails::player_ = nullptr;

std::vector<std::uint32_t> samplePoints(std::uint32_t length) {
    std::vector<std::uint32_t> points;
    for (std::uint32_t at = 0; at < length; at += 7) {
        points.push_back(at);
    }
    points.push_back(length - 1);
    return points;
}

// Whether the writer writes the format at the size the player stores it: a format drawn at
// another size is no test of the decoder.
bool writtenAsStored(const ThumbnailFormat& format) {
    const image::ThumbnailFormat* written =
        image::thumbnailFormat(static_cast<std::uint32_t>(format.formatId));
    return written != nullptr && written->width == format.width && written->height == format.height;
}

TEST_F(PlayerThumbnails, DecodeToTheColoursThePlayerShowsInEveryFormat) {
    std::vector<std::uint32_t> formatsSeen;
    for (const image::Photo& photo : player_->photos) {
        for (const image::ThumbnailRef& ref : photo.thumbnails) {
            const ThumbnailFormat* format = findThumbnailFormat(ref.formatId);
            if (format == nullptr || !writtenAsStored(*format)) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "photo " << photo.id << ", format " << ref.formatId);
            formatsSeen.push_back(ref.formatId);
            const std::optional<RgbImage> decoded =
                readThumbnail(folder_->root(), *format, ref.offset);
            ASSERT_TRUE(decoded.has_value());
            ASSERT_EQ(decoded->width, format->width);
            ASSERT_EQ(decoded->height, format->height);
            int mismatches = 0;
            for (const std::uint32_t y : samplePoints(format->height)) {
                for (const std::uint32_t x : samplePoints(format->width)) {
                    const image::Rgb expected = image::decodedColour(photo, ref.formatId, x, y);
                    const std::size_t at = (std::size_t{y} * decoded->width + x) * 3;
                    const image::Rgb actual{decoded->pixels[at], decoded->pixels[at + 1],
                                            decoded->pixels[at + 2]};
                    if (actual != expected && ++mismatches <= 3) {
                        ADD_FAILURE() << "at (" << x << ", " << y << "): " << int{actual.red} << ","
                                      << int{actual.green} << "," << int{actual.blue}
                                      << " instead of " << int{expected.red} << ","
                                      << int{expected.green} << "," << int{expected.blue};
                    }
                }
            }
            EXPECT_EQ(mismatches, 0);
        }
    }
    // The default image holds the earlier players' formats; later players' formats are decoded
    // from their own images.
    for (const ThumbnailFormat& row : thumbnailFormatTable()) {
        if (row.slotSizeFromDatabase) {
            continue;
        }
        EXPECT_NE(std::count(formatsSeen.begin(), formatsSeen.end(),
                             static_cast<std::uint32_t>(row.formatId)),
                  0)
            << row.formatId;
    }
}

TEST(ReadThumbnail, GivesNothingWithoutAReadableThumbnailFile) {
    const test::TempFolder folder;
    const ThumbnailFormat& format = *findThumbnailFormat(1036);
    EXPECT_FALSE(readThumbnail(folder.root(), format, 0).has_value()) << "no file";

    fs::create_directories(folder.path() / "Photos" / "Thumbs" / "F1036_1.ithmb");
    EXPECT_FALSE(readThumbnail(folder.root(), format, 0).has_value()) << "a folder";
    fs::remove(folder.path() / "Photos" / "Thumbs" / "F1036_1.ithmb");

    // A FIFO would block an ordinary open until someone writes to it.
    const fs::path fifo = folder.path() / "Photos" / "Thumbs" / "F1036_1.ithmb";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(readThumbnail(folder.root(), format, 0).has_value()) << "a FIFO";
}

TEST(ReadThumbnail, GivesNothingForAnOffsetAtOrPastTheEndOfTheFile) {
    const test::TempFolder folder;
    const ThumbnailFormat& format = *findThumbnailFormat(1009);
    test::writeFile(folder.path() / "Photos" / "Thumbs" / "F1009_1.ithmb",
                    std::vector<std::uint8_t>(2 * 2520, 0xFF));
    EXPECT_TRUE(readThumbnail(folder.root(), format, 2520).has_value());
    EXPECT_FALSE(readThumbnail(folder.root(), format, 2 * 2520).has_value());
    EXPECT_FALSE(readThumbnail(folder.root(), format, 2 * 2520 + 1).has_value());
    EXPECT_FALSE(readThumbnail(folder.root(), format, 0xFFFFFFFFFFFFFFFFu).has_value());
}

TEST(ReadThumbnail, FillsAThumbnailCutShortByTheEndOfTheFileWithZeros) {
    const test::TempFolder folder;
    const ThumbnailFormat& format = *findThumbnailFormat(1036);
    const std::uint32_t rowBytes = format.width * 2u;
    // One thumbnail, then the first ten rows of a white second one.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(format.byteSize), 0);
    bytes.resize(bytes.size() + 10 * rowBytes, 0xFF);
    test::writeFile(folder.path() / "Photos" / "Thumbs" / "F1036_1.ithmb", bytes);

    const std::optional<RgbImage> cut =
        readThumbnail(folder.root(), format, static_cast<std::uint64_t>(format.byteSize));
    ASSERT_TRUE(cut.has_value());
    const std::size_t whiteBytes = std::size_t{10} * format.width * 3;
    ASSERT_EQ(cut->pixels.size(), std::size_t{format.width} * format.height * 3);
    EXPECT_EQ(std::vector(cut->pixels.begin(), cut->pixels.begin() + whiteBytes),
              std::vector<std::uint8_t>(whiteBytes, 248));
    EXPECT_EQ(std::vector(cut->pixels.begin() + whiteBytes, cut->pixels.end()),
              std::vector<std::uint8_t>(cut->pixels.size() - whiteBytes, 0));
}

TEST(ReadThumbnail, FindsTheFileWhateverTheCaseOfItsFolders) {
    const test::TempFolder folder;
    const ThumbnailFormat& format = *findThumbnailFormat(1032);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(format.byteSize), 0);
    bytes[0] = 0x00;
    bytes[1] = 0xF8;
    test::writeFile(folder.path() / "photos" / "THUMBS" / "f1032_1.ithmb", bytes);
    const std::optional<RgbImage> decoded = readThumbnail(folder.root(), format, 0);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->pixels[0], 248);
}

}  // namespace
}  // namespace pelmar
