#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

#include "player_image/player_image.h"
#include "support/temp_folder.h"
#include "tools/database_tree.h"
#include "tools/later_pixels.h"

namespace pelmar::player_image::test {
namespace {

struct WrittenPhotos {
    PlayerImage image;
    std::map<std::uint32_t, std::vector<std::uint8_t>> files;  // by format id

    [[nodiscard]] std::span<const std::uint8_t> slot(const Photo& photo,
                                                     std::uint32_t formatId) const {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            if (ref.formatId == formatId) {
                return std::span(files.at(formatId)).subspan(ref.offset, ref.size);
            }
        }
        ADD_FAILURE() << "photo " << photo.id << " has no thumbnail in " << formatId;
        return {};
    }
};

WrittenPhotos write(Model model, std::uint32_t photos = 11) {
    Options options = optionsFor(model);
    options.trackCount = 5;
    options.photoCount = photos;
    WrittenPhotos written{generatePlayerImage(options), {}};
    for (const std::uint32_t formatId : playerModel(model).photoFormats) {
        written.files[formatId] = thumbnailFileBytes(written.image, formatId);
    }
    return written;
}

// Whether the picture has one colour over the whole square around (x, y).
bool awayFromEdges(PhotoPicture picture, const ThumbnailFormat& format, std::uint32_t x,
                   std::uint32_t y) {
    const std::uint32_t margin = kJpegEdgeMargin;
    if (x < margin || y < margin || x + margin >= format.width || y + margin >= format.height) {
        return false;
    }
    const Rgb centre = pictureColour(picture, format.width, format.height, x, y);
    for (const std::uint32_t px : {x - margin, x, x + margin}) {
        for (const std::uint32_t py : {y - margin, y, y + margin}) {
            if (pictureColour(picture, format.width, format.height, px, py) != centre) {
                return false;
            }
        }
    }
    return true;
}

TEST(LaterPhotos, EveryPhotoHasOneSlotInEachFormatOfItsModelAtItsSize) {
    const std::map<std::uint32_t, std::uint32_t> slotSizes{
        {1067, 691200}, {1024, 153600}, {1066, 8192},   {1079, 12800},
        {1083, 153600}, {1081, 614400}, {1087, 294912},
    };
    for (const Model model : {Model::Classic, Model::Nano3G, Model::Nano4G, Model::Nano5G}) {
        const WrittenPhotos written = write(model);
        for (const Photo& photo : written.image.photos) {
            ASSERT_EQ(photo.thumbnails.size(), playerModel(model).photoFormats.size());
            for (const ThumbnailRef& ref : photo.thumbnails) {
                EXPECT_EQ(ref.size, slotSizes.at(ref.formatId));
                EXPECT_EQ(ref.offset % ref.size, 0U);
            }
        }
        for (const auto& [formatId, bytes] : written.files) {
            EXPECT_EQ(bytes.size(), written.image.photos.size() * slotSizes.at(formatId));
        }
    }
}

TEST(LaterPhotos, PlanarYuvAndRgbSlotsDecodeToThePromisedColours) {
    const WrittenPhotos written = write(Model::Nano5G);
    const WrittenPhotos classic = write(Model::Classic);
    const struct {
        const WrittenPhotos* photos;
        std::uint32_t formatId;
        int tolerance;  // from the source picture: 5-6-5 loses up to 15 levels, YUV rounding a few
    } cases[] = {
        {&classic, 1067, 4}, {&classic, 1024, 15}, {&written, 1087, 15}, {&written, 1066, 15}};
    for (const auto& format : cases) {
        const ThumbnailFormat& described = *thumbnailFormat(format.formatId);
        EXPECT_EQ(decodeTolerance(format.formatId), 0);
        for (const Photo& photo : format.photos->image.photos) {
            const std::span<const std::uint8_t> slot = format.photos->slot(photo, format.formatId);
            int mismatches = 0;
            for (std::uint32_t y = 0; y < described.height && mismatches < 3; ++y) {
                for (std::uint32_t x = 0; x < described.width && mismatches < 3; ++x) {
                    const Rgb shown =
                        format.formatId == 1067
                            ? decodePlanarYuv(slot, described.width, described.height, x, y)
                            : decodeRgb565(slot, described.width * 2, x, y);
                    const Rgb source =
                        pictureColour(photo.picture, described.width, described.height, x, y);
                    if (shown != decodedColour(photo, format.formatId, x, y) ||
                        largestDifference(shown, source) > format.tolerance) {
                        ++mismatches;
                        ADD_FAILURE() << format.formatId << " photo " << photo.id << " (" << x
                                      << ", " << y << ")";
                    }
                }
            }
            if (format.formatId == 1067) {
                const auto unused = slot.subspan(slot.size() * 3 / 4);
                EXPECT_TRUE(std::all_of(unused.begin(), unused.end(), [](auto b) {
                    return b == 0;
                })) << "the last quarter holds no picture";
            }
        }
    }
}

TEST(LaterPhotos, JpegSlotsHoldABaselineStreamWithinJpegErrorOfThePicture) {
    const WrittenPhotos written = write(Model::Nano4G);
    const ThumbnailFormat& format = *thumbnailFormat(1081);
    for (const Photo& photo : written.image.photos) {
        SCOPED_TRACE(photo.id);
        const std::span<const std::uint8_t> slot = written.slot(photo, 1081);
        const std::size_t length = jpegLength(slot);
        ASSERT_GT(length, 0U);
        EXPECT_TRUE(std::all_of(slot.begin() + static_cast<std::ptrdiff_t>(length), slot.end(),
                                [](auto b) { return b == 0; }));
        // SOF0: a baseline frame.
        const std::array<std::uint8_t, 2> baseline{0xFF, 0xC0};
        EXPECT_NE(std::search(slot.begin(), slot.begin() + static_cast<std::ptrdiff_t>(length),
                              baseline.begin(), baseline.end()),
                  slot.begin() + static_cast<std::ptrdiff_t>(length));
        const std::optional<DecodedJpeg> decoded = decodeJpeg(slot.first(length));
        ASSERT_TRUE(decoded.has_value());
        ASSERT_EQ(decoded->width, format.width);
        ASSERT_EQ(decoded->height, format.height);
        std::size_t checked = 0;
        for (std::uint32_t y = 0; y < format.height; y += 7) {
            for (std::uint32_t x = 0; x < format.width; x += 7) {
                if (!awayFromEdges(photo.picture, format, x, y)) {
                    continue;
                }
                ++checked;
                ASSERT_LE(largestDifference(decoded->at(x, y), decodedColour(photo, 1081, x, y)),
                          decodeTolerance(1081))
                    << "(" << x << ", " << y << ")";
            }
        }
        if (photo.picture != PhotoPicture::VerticalGradient &&
            photo.picture != PhotoPicture::HorizontalGradient) {
            EXPECT_GT(checked, 100U);
        }
    }
}

TEST(LaterPhotos, OriginalsAreJpegFilesAtThePathTheirRecordGives) {
    pelmar::test::TempFolder folder;
    Options options = optionsFor(Model::Classic);
    options.trackCount = 5;
    options.withMedia = false;
    options.photoCount = 15;
    options.withOriginals = true;
    const PlayerImage image = generatePlayerImage(options);
    std::string error;
    ASSERT_TRUE(writePlayerImage(image, folder.path(), options, error)) << error;

    const std::vector<std::uint8_t> bytes = photoDatabaseBytes(image);
    const DatabaseTree tree = parsePhotoDatabase(bytes);
    const std::vector<const Record*> records = tree.datasets(1).at(0)->childrenTagged("mhii");
    ASSERT_EQ(records.size(), image.photos.size());
    std::set<std::string> contents;
    std::size_t withoutOriginal = 0;
    std::set<std::uint32_t> ratings;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& record = *records[i];
        const Photo& photo = image.photos[i];
        SCOPED_TRACE(photo.id);
        ratings.insert(record.u32(32));
        EXPECT_EQ(record.u32(32), photo.rating);
        EXPECT_EQ(record.u32(12), record.children.size());
        const Record& first = record.children.at(0);
        if (photo.original.empty()) {
            ++withoutOriginal;
            EXPECT_EQ(first.childType(), 2U);
            continue;
        }
        ASSERT_EQ(first.childType(), 5U);
        const Record& original = first.children.at(0);
        EXPECT_EQ(original.u32(16), 1U);
        const std::string path = photoStringText(original.children.at(0));
        EXPECT_EQ(photoStringEncoding(original.children.at(0)), 2U);
        EXPECT_EQ(path, photo.original);
        EXPECT_EQ(path.rfind(":Full Resolution:", 0), 0U);
        std::string relative = path.substr(1);
        std::replace(relative.begin(), relative.end(), ':', '/');
        const std::string file = pelmar::test::readAll(folder.path() / "Photos" / relative);
        EXPECT_EQ(file.size(), original.u32(24));
        const std::vector<std::uint8_t> expected = originalPhotoBytes(photo);
        EXPECT_TRUE(file == std::string(expected.begin(), expected.end()));
        const std::span<const std::uint8_t> jpeg(reinterpret_cast<const std::uint8_t*>(file.data()),
                                                 file.size());
        ASSERT_EQ(jpegLength(jpeg), file.size());
        const std::optional<DecodedJpeg> decoded = decodeJpeg(jpeg);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->width, kOriginalWidth);
        EXPECT_EQ(decoded->height, kOriginalHeight);
        contents.insert(file);
    }
    EXPECT_EQ(withoutOriginal, 2U) << "every seventh photo has none";
    EXPECT_EQ(contents.size(), image.photos.size() - withoutOriginal) << "no two alike";
    EXPECT_GT(ratings.size(), 2U);
}

}  // namespace
}  // namespace pelmar::player_image::test
