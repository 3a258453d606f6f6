#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <stdexcept>

#include "player_image/player_image.h"
#include "tools/thumbnail_decoder.h"

namespace pelmar::player_image::test {
namespace {

constexpr std::uint32_t kUnknownFormat = 1066;

struct WrittenThumbnails {
    PlayerImage image;
    std::map<std::uint32_t, std::vector<std::uint8_t>> files;  // by format id

    [[nodiscard]] std::span<const std::uint8_t> thumbnail(const ThumbnailRef& ref) const {
        return std::span<const std::uint8_t>(files.at(ref.formatId)).subspan(ref.offset, ref.size);
    }
};

WrittenThumbnails write(const Options& options) {
    WrittenThumbnails written{generatePlayerImage(options), {}};
    for (const Photo& photo : written.image.photos) {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            if (!written.files.contains(ref.formatId)) {
                written.files[ref.formatId] = thumbnailFileBytes(written.image, ref.formatId);
            }
        }
    }
    return written;
}

const WrittenThumbnails& defaultThumbnails() {
    static const WrittenThumbnails written = write(Options{});
    return written;
}

// The first thumbnail in that format of a photo showing that picture; null if there is none.
const ThumbnailRef* findThumbnail(const PlayerImage& image, PhotoPicture picture,
                                  std::uint32_t formatId) {
    for (const Photo& photo : image.photos) {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            if (photo.picture == picture && ref.formatId == formatId) {
                return &ref;
            }
        }
    }
    return nullptr;
}

int largestDifference(Rgb a, Rgb b) {
    return std::max(
        {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

TEST(ThumbnailFiles, EveryReferencePointsIntoItsFileAtAMultipleOfTheFormatSize) {
    Options many;
    many.photoCount = 100;
    for (const Options& options : {Options{}, many}) {
        const WrittenThumbnails written = write(options);
        std::map<std::uint32_t, std::set<std::uint32_t>> offsets;
        std::map<std::uint32_t, std::uint32_t> sizes;
        for (const Photo& photo : written.image.photos) {
            for (const ThumbnailRef& ref : photo.thumbnails) {
                SCOPED_TRACE(ref.formatId);
                const std::size_t fileSize = written.files.at(ref.formatId).size();
                if (const auto format = knownFormat(ref.formatId)) {
                    EXPECT_EQ(ref.size, format->byteSize);
                }
                EXPECT_EQ(ref.offset % ref.size, 0U);
                EXPECT_LE(ref.offset + std::size_t{ref.size}, fileSize);
                EXPECT_TRUE(offsets[ref.formatId].insert(ref.offset).second) << "shared offset";
                sizes[ref.formatId] = ref.size;
            }
        }
        for (const auto& [formatId, bytes] : written.files) {
            const std::uint32_t size = sizes.at(formatId);
            EXPECT_EQ(bytes.size() % size, 0U) << formatId;
            EXPECT_EQ(bytes.size() / size, offsets[formatId].size())
                << "unused room in " << formatId;
        }
    }
}

TEST(ThumbnailFiles, EveryFormatOfTheProgramsTableHasAFileAndSoDoesAnUnknownOne) {
    std::set<std::uint32_t> expected{kUnknownFormat};
    for (const KnownFormat& format : knownFormats()) {
        expected.insert(format.formatId);
    }
    std::set<std::uint32_t> written;
    for (const auto& [formatId, bytes] : defaultThumbnails().files) {
        written.insert(formatId);
    }
    EXPECT_EQ(written, expected);
}

TEST(ThumbnailFiles, SolidRedIsStoredInEachByteOrderAndDecodesAs248) {
    const struct {
        std::uint32_t formatId;
        std::uint8_t first;
        std::uint8_t second;
    } cases[] = {{1009, 0x00, 0xF8}, {1020, 0xF8, 0x00}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.formatId);
        const ThumbnailRef* ref =
            findThumbnail(defaultThumbnails().image, PhotoPicture::SolidRed, expected.formatId);
        ASSERT_NE(ref, nullptr);
        const std::span<const std::uint8_t> bytes = defaultThumbnails().thumbnail(*ref);
        const KnownFormat format = knownFormat(expected.formatId).value();
        for (std::size_t at = 0; at < bytes.size(); at += 2) {
            ASSERT_EQ(bytes[at], expected.first) << at;
            ASSERT_EQ(bytes[at + 1], expected.second) << at;
        }
        EXPECT_EQ(decodePixel(format, bytes, 0, 0), (Rgb{248, 0, 0}));
        EXPECT_EQ(decodePixel(format, bytes, format.width - 1, format.height - 1),
                  (Rgb{248, 0, 0}));
    }
}

TEST(ThumbnailFiles, TheInterlacedFormatStoresTheOddLinesInItsSecondHalf) {
    const ThumbnailRef* ref =
        findThumbnail(defaultThumbnails().image, PhotoPicture::VerticalGradient, 1019);
    ASSERT_NE(ref, nullptr);
    const std::span<const std::uint8_t> bytes = defaultThumbnails().thumbnail(*ref);
    constexpr std::size_t kRowBytes = std::size_t{720} * 2;
    const auto lumaOfStoredRow = [&](std::size_t row) { return bytes[row * kRowBytes + 1]; };
    // Grey from black on line 0 to white on line 479: the luma is the line's level.
    EXPECT_EQ(lumaOfStoredRow(0), 0);    // line 0
    EXPECT_EQ(lumaOfStoredRow(240), 1);  // line 1
    EXPECT_EQ(lumaOfStoredRow(1), 1);    // line 2, rounded from 1.06
    EXPECT_EQ(lumaOfStoredRow(120), 128);
    EXPECT_EQ(lumaOfStoredRow(479), 255);  // line 479
    const KnownFormat format = knownFormat(1019).value();
    EXPECT_EQ(decodePixel(format, bytes, 0, 1), (Rgb{1, 1, 1}));
    EXPECT_EQ(decodePixel(format, bytes, 719, 479), (Rgb{255, 255, 255}));
}

TEST(ThumbnailFiles, EveryPixelDecodesToThePromisedColourNearTheIntendedOne) {
    const WrittenThumbnails& written = defaultThumbnails();
    for (const Photo& photo : written.image.photos) {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            const auto format = knownFormat(ref.formatId);
            if (!format) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "photo " << photo.id << " format " << ref.formatId);
            // Five bits a channel lose up to 15 levels; rounding and shared chroma a few.
            const int tolerance = format->interlacedYuv ? 3 : 15;
            const std::span<const std::uint8_t> bytes = written.thumbnail(ref);
            int mismatches = 0;
            for (std::uint32_t y = 0; y < format->height && mismatches < 5; ++y) {
                for (std::uint32_t x = 0; x < format->width && mismatches < 5; ++x) {
                    const Rgb shown = decodePixel(*format, bytes, x, y);
                    const Rgb promised = decodedColour(photo, ref.formatId, x, y);
                    const Rgb intended = intendedColour(photo, format->width, format->height, x, y);
                    if (shown != promised || largestDifference(shown, intended) > tolerance) {
                        ++mismatches;
                        ADD_FAILURE()
                            << "(" << x << ", " << y << ") shows " << int{shown.red} << ","
                            << int{shown.green} << "," << int{shown.blue} << "; promised "
                            << int{promised.red} << "," << int{promised.green} << ","
                            << int{promised.blue} << "; intended " << int{intended.red} << ","
                            << int{intended.green} << "," << int{intended.blue};
                    }
                }
            }
        }
    }
}

TEST(ThumbnailFiles, ThePanoramaIsCentredBetweenBlackRows) {
    const WrittenThumbnails& written = defaultThumbnails();
    int thumbnailsSeen = 0;
    for (const Photo& photo : written.image.photos) {
        if (photo.picture != PhotoPicture::Panorama) {
            continue;
        }
        for (const ThumbnailRef& ref : photo.thumbnails) {
            const auto format = knownFormat(ref.formatId);
            if (!format) {
                continue;
            }
            SCOPED_TRACE(ref.formatId);
            ++thumbnailsSeen;
            const std::span<const std::uint8_t> bytes = written.thumbnail(ref);
            const std::uint32_t middle = format->width / 2;
            EXPECT_EQ(decodePixel(*format, bytes, middle, 0), (Rgb{0, 0, 0}));
            EXPECT_EQ(decodePixel(*format, bytes, middle, format->height - 1), (Rgb{0, 0, 0}));
            const Rgb centre = decodePixel(*format, bytes, middle, format->height / 2);
            EXPECT_GT(centre.red, 200);
            EXPECT_GT(centre.green, 200);
            EXPECT_LT(centre.blue, 40);
            // The picture is three times as wide as high.
            std::uint32_t pictureRows = 0;
            for (std::uint32_t y = 0; y < format->height; ++y) {
                pictureRows += decodePixel(*format, bytes, 0, y) == Rgb{0, 0, 0} ? 0 : 1;
            }
            EXPECT_NEAR(pictureRows, format->width / 3.0, 1.0);
        }
    }
    EXPECT_GE(thumbnailsSeen, 2);
}

TEST(ThumbnailFiles, ColoursAreRefusedOutsideTheWrittenFormatsAndPictures) {
    const Photo& photo = defaultThumbnails().image.photos.at(0);
    EXPECT_THROW((void)decodedColour(photo, 1018, 0, 0), std::invalid_argument);
    EXPECT_THROW((void)decodedColour(photo, 1009, 42, 0), std::invalid_argument);
    EXPECT_THROW((void)decodedColour(photo, 1019, 0, 480), std::invalid_argument);
    EXPECT_THROW((void)intendedColour(photo, 10, 10, 3, 10), std::invalid_argument);
}

}  // namespace
}  // namespace pelmar::player_image::test
