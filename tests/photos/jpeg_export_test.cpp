#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "library/player_library.h"
#include "photos/jpeg_export.h"
#include "photos/thumbnail_decoder.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

struct DecompressorDestroyer {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// The JPEG decoded back to RGB with the library's own decompressor; an empty image when it is
// not a JPEG file.
RgbImage decodeJpeg(const std::vector<std::uint8_t>& jpeg) {
    const std::unique_ptr<void, DecompressorDestroyer> handle(tjInitDecompress());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (!handle || tjDecompressHeader3(handle.get(), jpeg.data(), jpeg.size(), &width, &height,
                                       &subsampling, &colourspace) != 0) {
        return {};
    }
    RgbImage image{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                   std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    if (tjDecompress2(handle.get(), jpeg.data(), jpeg.size(), image.pixels.data(), width, width * 3,
                      height, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0) {
        return {};
    }
    return image;
}

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference compare(const RgbImage& decoded, const RgbImage& source) {
    Difference difference;
    if (decoded.pixels.size() != source.pixels.size() || source.pixels.empty()) {
        return {255, 255};
    }
    long total = 0;
    for (std::size_t at = 0; at < source.pixels.size(); ++at) {
        const int d = std::abs(decoded.pixels[at] - source.pixels[at]);
        difference.largest = std::max(difference.largest, d);
        total += d;
    }
    difference.mean = static_cast<double>(total) / static_cast<double>(source.pixels.size());
    return difference;
}

RgbImage solid(std::uint32_t width, std::uint32_t height, std::uint8_t red, std::uint8_t green,
               std::uint8_t blue) {
    RgbImage image{width, height, {}};
    for (std::size_t pixel = 0; pixel < std::size_t{width} * height; ++pixel) {
        image.pixels.insert(image.pixels.end(), {red, green, blue});
    }
    return image;
}

// Red rising left to right, green falling, blue rising top to bottom, in the thumbnails'
// 8-level steps.
RgbImage gradient(std::uint32_t width, std::uint32_t height) {
    RgbImage image{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const auto red = static_cast<std::uint8_t>(x * 31 / (width - 1) * 8);
            const auto blue = static_cast<std::uint8_t>(y * 31 / (height - 1) * 8);
            image.pixels.insert(image.pixels.end(),
                                {red, static_cast<std::uint8_t>(248 - red), blue});
        }
    }
    return image;
}

TEST(EncodeJpeg, KeepsSolidColoursWithinAFewLevels) {
    const std::uint8_t colours[][3] = {{248, 0, 0},     {0, 248, 0},   {0, 0, 248},
                                       {248, 248, 248}, {0, 0, 0},     {128, 128, 128},
                                       {248, 248, 0},   {0, 136, 248}, {255, 0, 0}};
    const std::uint32_t sizes[][2] = {{42, 30}, {130, 88}, {50, 41}, {1, 1}};
    for (const auto& colour : colours) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << int{colour[0]} << "," << int{colour[1]} << "," << int{colour[2]}
                         << " at " << size[0] << " x " << size[1]);
            const RgbImage source = solid(size[0], size[1], colour[0], colour[1], colour[2]);
            const RgbImage decoded = decodeJpeg(encodeJpeg(source));
            ASSERT_EQ(decoded.width, size[0]);
            ASSERT_EQ(decoded.height, size[1]);
            EXPECT_LE(compare(decoded, source).largest, 3);
        }
    }
}

TEST(EncodeJpeg, KeepsAGradientCloseToItsSource) {
    for (const auto& size : {std::pair{320u, 240u}, std::pair{42u, 37u}, std::pair{720u, 480u}}) {
        SCOPED_TRACE(testing::Message() << size.first << " x " << size.second);
        const RgbImage source = gradient(size.first, size.second);
        const Difference difference = compare(decodeJpeg(encodeJpeg(source)), source);
        EXPECT_LE(difference.largest, 12);
        EXPECT_LE(difference.mean, 2.0);
    }
}

TEST(EncodeJpeg, RefusesImagesItCannotEncode) {
    EXPECT_TRUE(encodeJpeg(RgbImage{}).empty());
    EXPECT_TRUE(encodeJpeg(RgbImage{2, 2, std::vector<std::uint8_t>(11)}).empty());
    EXPECT_TRUE(encodeJpeg(RgbImage{2, 2, std::vector<std::uint8_t>(13)}).empty());
    EXPECT_TRUE(encodeJpeg(RgbImage{70'000, 1, std::vector<std::uint8_t>(210'000)}).empty());
}

TEST(JpegEncoder, CanBeInitialised) {
    EXPECT_TRUE(jpegEncoderAvailable());
}

// A player holding thumbnails written by the test itself, and a backup folder.
class ThumbnailExport : public testing::Test {
  protected:
    void SetUp() override { library_.rootPath = player_.root(); }

    // Writes the format's thumbnail file with one thumbnail, each pixel the 16-bit value `pixel`
    // stored in the format's byte order.
    void writeThumbnail(std::uint32_t formatId, std::uint16_t pixel) {
        const ThumbnailFormat& format = *findThumbnailFormat(formatId);
        std::vector<std::uint8_t> bytes;
        const auto high = static_cast<std::uint8_t>(pixel >> 8);
        const auto low = static_cast<std::uint8_t>(pixel);
        for (int i = 0; i < format.byteSize / 2; ++i) {
            bytes.insert(bytes.end(), isBigEndianFormat(format) ? std::initializer_list{high, low}
                                                                : std::initializer_list{low, high});
        }
        test::writeFile(thumbnailFilePath(player_.root(), format.formatId), bytes);
    }

    [[nodiscard]] std::vector<fs::path> backupFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(backup_.path())) {
            files.push_back(entry.path().filename());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    int exportTo(std::uint32_t formatId, const fs::path& destination, bool replace,
                 const std::function<void(int)>& progress = {}, std::uint64_t offset = 0) {
        return exportThumbnailJpeg(findThumbnailFormat(formatId), library_, offset, progress,
                                   destination.string(), replace);
    }

    test::TempFolder player_;
    test::TempFolder backup_;
    PlayerLibrary library_;
};

bool allPixelsNear(const RgbImage& image, int red, int green, int blue, int tolerance) {
    for (std::size_t at = 0; at + 2 < image.pixels.size(); at += 3) {
        if (std::abs(image.pixels[at] - red) > tolerance ||
            std::abs(image.pixels[at + 1] - green) > tolerance ||
            std::abs(image.pixels[at + 2] - blue) > tolerance) {
            return false;
        }
    }
    return !image.pixels.empty();
}

TEST_F(ThumbnailExport, SavesTheColoursTheScreenShowsInEveryRgbFormat) {
    struct Case {
        std::uint16_t pixel;
        int red;
        int green;
        int blue;
    };
    const Case cases[] = {{0xF800, 248, 0, 0}, {0x001F, 0, 0, 248}, {0x07C0, 0, 248, 0}};
    for (const ThumbnailFormat& format : thumbnailFormatTable()) {
        if (pixelLayout(format) != PixelLayout::Rgb565Little &&
            pixelLayout(format) != PixelLayout::Rgb565Big) {
            continue;
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "format " << format.formatId << ", pixel " << std::hex << c.pixel);
            writeThumbnail(static_cast<std::uint32_t>(format.formatId), c.pixel);
            const fs::path destination = backup_.path() / "photo.jpg";
            ASSERT_EQ(exportTo(static_cast<std::uint32_t>(format.formatId), destination, true), 1);
            const RgbImage saved = decodeJpeg(fileBytes(destination));
            EXPECT_EQ(saved.width, format.width);
            EXPECT_EQ(saved.height, format.height);
            EXPECT_TRUE(allPixelsNear(saved, c.red, c.green, c.blue, 3));
        }
    }
}

TEST_F(ThumbnailExport, WeavesTheTelevisionFormatsFieldsIntoAFullSizePicture) {
    // White in the first half of each field, black in the second: the top half of the frame
    // white, the bottom half black. Unwoven, the picture would be striped in quarters.
    const ThumbnailFormat& format = *findThumbnailFormat(1019);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(format.byteSize));
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        const std::size_t storedRow = at / 2 / format.width;
        const std::uint8_t luma = storedRow % 240 < 120 ? 255 : 0;
        bytes[at] = 128;
        bytes[at + 1] = luma;
        bytes[at + 2] = 128;
        bytes[at + 3] = luma;
    }
    test::writeFile(thumbnailFilePath(player_.root(), 1019), bytes);
    const fs::path destination = backup_.path() / "television.jpg";
    ASSERT_EQ(exportTo(1019, destination, false), 1);
    const RgbImage saved = decodeJpeg(fileBytes(destination));
    ASSERT_EQ(saved.width, 720u);
    ASSERT_EQ(saved.height, 480u);
    const auto line = [&](std::uint32_t y) {
        return RgbImage{720, 1,
                        std::vector(saved.pixels.begin() + y * 720 * 3,
                                    saved.pixels.begin() + (y + 1) * 720 * 3)};
    };
    for (const std::uint32_t y : {0u, 1u, 100u, 200u, 231u}) {
        EXPECT_TRUE(allPixelsNear(line(y), 255, 255, 255, 3)) << "line " << y;
    }
    for (const std::uint32_t y : {248u, 300u, 400u, 479u}) {
        EXPECT_TRUE(allPixelsNear(line(y), 0, 0, 0, 3)) << "line " << y;
    }
}

TEST_F(ThumbnailExport, SavesAStoredJpegAsItIsAndNothingWithoutOne) {
    const std::vector<std::uint8_t> jpeg = encodeJpeg(gradient(640, 480));
    std::vector<std::uint8_t> slots(2 * 614400, 0);
    slots[0] = 0xFF;  // a start marker and no stream
    slots[1] = 0xD8;
    std::copy(jpeg.begin(), jpeg.end(), slots.begin() + 614400);
    test::writeFile(thumbnailFilePath(player_.root(), 1081), slots);

    const fs::path saved = backup_.path() / "stored.jpg";
    ASSERT_EQ(exportTo(1081, saved, false, {}, 614400), 1);
    EXPECT_EQ(fileBytes(saved), jpeg);
    EXPECT_EQ(exportTo(1081, backup_.path() / "damaged.jpg", false, {}, 0), 0);
    EXPECT_EQ(backupFiles(), std::vector<fs::path>{"stored.jpg"});
}

TEST_F(ThumbnailExport, SavesAPlanarYuvPhotoAsItsDecodingShowsIt) {
    // Luma rising top to bottom, U left to right, V falling top to bottom, in the planes'
    // limited range; the slot's last quarter holds no picture.
    std::vector<std::uint8_t> slot(691200, 0xEE);
    for (std::size_t at = 0; at < 720 * 480; ++at) {
        slot[at] = static_cast<std::uint8_t>(16 + at / 720 * 219 / 479);
    }
    for (std::size_t at = 0; at < 360 * 240; ++at) {
        slot[345600 + at] = static_cast<std::uint8_t>(16 + at % 360 * 224 / 359);
        slot[345600 + 86400 + at] = static_cast<std::uint8_t>(240 - at / 360 * 224 / 239);
    }
    test::writeFile(thumbnailFilePath(player_.root(), 1067), slot);
    const fs::path destination = backup_.path() / "classic.jpg";
    ASSERT_EQ(exportTo(1067, destination, false), 1);
    const Difference difference = compare(decodeJpeg(fileBytes(destination)),
                                          decodeThumbnail(*findThumbnailFormat(1067), slot));
    EXPECT_LE(difference.mean, 2.0);
    EXPECT_LE(difference.largest, 12);
}

TEST_F(ThumbnailExport, MatchesTheDecodedThumbnailsOfAPlayer) {
    player_image::Options options;
    options.trackCount = 1;
    options.withMedia = false;
    options.photoCount = 9;
    const player_image::PlayerImage image = player_image::generatePlayerImage(options);
    std::string error;
    ASSERT_TRUE(player_image::writePlayerImage(image, player_.path(), options, error)) << error;
    bool sawTelevisionFormat = false;
    for (const player_image::Photo& photo : image.photos) {
        for (const player_image::ThumbnailRef& ref : photo.thumbnails) {
            const ThumbnailFormat* format = findThumbnailFormat(ref.formatId);
            if (format == nullptr) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "photo " << photo.id << ", format " << ref.formatId);
            sawTelevisionFormat = sawTelevisionFormat || ref.formatId == 1019;
            const fs::path destination = backup_.path() / (std::to_string(photo.id) + ".jpg");
            ASSERT_EQ(exportTo(ref.formatId, destination, true, {}, ref.offset), 1);
            const std::optional<RgbImage> shown =
                readThumbnail(player_.root(), *format, ref.offset);
            ASSERT_TRUE(shown.has_value());
            const Difference difference = compare(decodeJpeg(fileBytes(destination)), *shown);
            EXPECT_LE(difference.mean, 2.0);
            EXPECT_LE(difference.largest, 12);
        }
    }
    EXPECT_TRUE(sawTelevisionFormat);
}

TEST_F(ThumbnailExport, ReportsDecodingProgressInTens) {
    writeThumbnail(1024, 0x1234);
    std::vector<int> reported;
    ASSERT_EQ(exportTo(1024, backup_.path() / "a.jpg", false,
                       [&](int percent) { reported.push_back(percent); }),
              1);
    EXPECT_EQ(reported, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
}

TEST_F(ThumbnailExport, WritesNothingWithoutAFormatOrAThumbnailFile) {
    writeThumbnail(1015, 0xF800);
    const fs::path destination = backup_.path() / "photo.jpg";
    EXPECT_EQ(exportThumbnailJpeg(nullptr, library_, 0, {}, destination.string(), true), 0);
    EXPECT_EQ(exportTo(1036, destination, true), 0) << "no thumbnail file of that format";
    EXPECT_EQ(exportTo(1015, destination, true, {}, 22880), 0) << "offset past the file's end";
    EXPECT_TRUE(backupFiles().empty());
}

TEST_F(ThumbnailExport, WritesNothingIntoAMissingFolder) {
    writeThumbnail(1015, 0xF800);
    EXPECT_EQ(exportTo(1015, backup_.path() / "missing" / "photo.jpg", true), 0);
    EXPECT_TRUE(backupFiles().empty());
}

TEST_F(ThumbnailExport, LeavesAnExistingFileAloneUnlessToldToReplaceIt) {
    writeThumbnail(1015, 0xF800);
    const fs::path destination = backup_.path() / "photo.jpg";
    const std::vector<std::uint8_t> old{'o', 'l', 'd'};
    test::writeFile(destination, old);

    EXPECT_EQ(exportTo(1015, destination, false), 0);
    EXPECT_EQ(fileBytes(destination), old);
    EXPECT_EQ(backupFiles(), std::vector<fs::path>{"photo.jpg"}) << "no temporary file is left";

    EXPECT_EQ(exportTo(1015, destination, true), 1);
    const RgbImage saved = decodeJpeg(fileBytes(destination));
    EXPECT_EQ(saved.width, 130u);
    EXPECT_TRUE(allPixelsNear(saved, 248, 0, 0, 3));
    EXPECT_EQ(backupFiles(), std::vector<fs::path>{"photo.jpg"});
}

}  // namespace
}  // namespace pelmar
