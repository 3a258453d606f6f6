#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "library/artwork_catalog.h"
#include "photos/artwork_pictures.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

using Colour = std::array<int, 3>;

Colour at(const RgbImage& image, std::uint32_t x, std::uint32_t y) {
    const std::size_t i = (std::size_t{y} * image.width + x) * 3;
    return {image.pixels.at(i), image.pixels.at(i + 1), image.pixels.at(i + 2)};
}

ArtworkPicture picture(std::uint32_t formatId, std::uint32_t file = 0, std::uint32_t offset = 0) {
    ArtworkPicture made;
    made.format = findThumbnailFormat(formatId);
    made.file = file;
    made.offset = offset;
    made.statedSize = static_cast<std::uint32_t>(made.format->byteSize);
    return made;
}

TEST(ArtworkCatalogChoice, TakesTheLargestForSavingAndTheListsChoiceForSmallCovers) {
    const struct {
        const char* player;
        std::vector<std::uint32_t> formats;
        std::int32_t largest;
        std::int32_t forList;
    } cases[] = {
        {"photo", {1017, 1016}, 1016, 1017},
        {"video", {1028, 1029}, 1029, 1028},
        {"nano 1G", {1031, 1027}, 1027, 1031},
        {"classic", {1061, 1055, 1068, 1060}, 1060, 1061},
        {"nano 4G", {1055, 1068, 1071, 1074, 1078, 1084}, 1071, 1074},
        {"nano 5G", {1056, 1078, 1073, 1074}, 1073, 1074},
        {"one size twice", {1068, 1055}, 1068, 1068},
    };
    for (const auto& c : cases) {
        ArtworkCatalog catalog;
        std::vector<ArtworkPicture> pictures;
        for (const std::uint32_t id : c.formats) {
            pictures.push_back(picture(id));
        }
        catalog.addImage(7, 0, pictures);
        ASSERT_NE(catalog.largestPicture(7), nullptr) << c.player;
        EXPECT_EQ(catalog.largestPicture(7)->format->formatId, c.largest) << c.player;
        EXPECT_EQ(catalog.listPicture(7)->format->formatId, c.forList) << c.player;
    }
    EXPECT_EQ(ArtworkCatalog().largestPicture(7), nullptr);
}

// A 1060 file whose second slot holds a 320 × 200 picture centred between black rows, red above
// and blue below.
class StoredArtwork : public ::testing::Test {
  protected:
    StoredArtwork() {
        std::vector<std::uint8_t> slots(2 * 204800, 0);
        for (std::size_t i = 204800 + 60 * 640; i < 204800 + 260 * 640; i += 2) {
            slots[i + (i < 204800 + 160 * 640 ? 1 : 0)] = i < 204800 + 160 * 640 ? 0xF8 : 0x1F;
        }
        test::writeFile(folder.path() / "iPod_Control" / "Artwork" / "F1060_1.ithmb", slots);
        file = catalog.addFile("iPod_Control/Artwork/F1060_1.ithmb");
    }

    [[nodiscard]] ArtworkPicture framed(std::uint16_t top, std::uint16_t left, std::uint16_t height,
                                        std::uint16_t width) const {
        ArtworkPicture made = picture(1060, file, 204800);
        made.top = top;
        made.left = left;
        made.height = height;
        made.width = width;
        return made;
    }

    test::TempFolder folder;
    ArtworkCatalog catalog;
    std::uint32_t file = 0;
};

TEST_F(StoredArtwork, CutsThePictureOutOfItsPadding) {
    const std::optional<RgbImage> cover =
        readArtworkPicture(folder.root(), catalog, framed(60, 0, 200, 320));
    ASSERT_TRUE(cover.has_value());
    ASSERT_EQ(cover->width, 320u);
    ASSERT_EQ(cover->height, 200u);
    EXPECT_EQ(at(*cover, 0, 0), (Colour{248, 0, 0}));
    EXPECT_EQ(at(*cover, 319, 99), (Colour{248, 0, 0}));
    EXPECT_EQ(at(*cover, 0, 100), (Colour{0, 0, 248}));
    EXPECT_EQ(at(*cover, 319, 199), (Colour{0, 0, 248}));
}

TEST_F(StoredArtwork, KeepsTheWholeSlotWhereTheFrameDoesNotFitAndGivesNothingUnreadable) {
    for (const ArtworkPicture& bad : {framed(0, 0, 0, 0), framed(60, 0, 320, 200),
                                      framed(0, 1, 320, 320), framed(0xFFFF, 0xFFFF, 2, 2)}) {
        const std::optional<RgbImage> whole = readArtworkPicture(folder.root(), catalog, bad);
        ASSERT_TRUE(whole.has_value());
        EXPECT_EQ(whole->height, 320u);
        EXPECT_EQ(at(*whole, 0, 59), (Colour{0, 0, 0}));
        EXPECT_EQ(at(*whole, 0, 60), (Colour{248, 0, 0}));
    }
    ArtworkPicture missing = framed(60, 0, 200, 320);
    missing.file = catalog.addFile("iPod_Control/Artwork/F1060_2.ithmb");
    EXPECT_TRUE(artworkPictureJpeg(folder.root(), catalog, missing).empty());
    ArtworkPicture pastTheEnd = framed(60, 0, 200, 320);
    pastTheEnd.offset = 2 * 204800;
    EXPECT_FALSE(readArtworkPicture(folder.root(), catalog, pastTheEnd).has_value());
}

}  // namespace
}  // namespace pelmar
