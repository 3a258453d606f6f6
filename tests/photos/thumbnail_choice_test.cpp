#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <utility>

#include "photos/thumbnail_choice.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

// A player root holding empty thumbnail files: only their presence matters to the choice.
class ThumbnailChoiceTest : public testing::Test {
  protected:
    void addFile(std::int32_t formatId) {
        test::writeFile(
            folder_.path() / "Photos" / "Thumbs" / ("F" + std::to_string(formatId) + "_1.ithmb"),
            {});
    }

    // Slots filled in order with (format, offset) pairs; the rest stay empty.
    static ImageData photo(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> slots) {
        ImageData image;
        std::size_t slot = 0;
        for (const auto& [format, offset] : slots) {
            image.thumbFormat[slot] = format;
            image.thumbOffset[slot] = offset;
            ++slot;
        }
        return image;
    }

    [[nodiscard]] ThumbnailChoice choose(const ImageData& image) const {
        return chooseThumbnails(image, folder_.root());
    }

    test::TempFolder folder_;
};

TEST_F(ThumbnailChoiceTest, ListTakesTheCardSizeWhileExportAndDimensionsTakeTheLargest) {
    for (const std::int32_t id : {1009, 1013, 1015, 1019}) {
        addFile(id);
    }
    const ThumbnailChoice choice =
        choose(photo({{1009, 100}, {1013, 200}, {1015, 300}, {1019, 400}}));
    ASSERT_NE(choice.forList.format, nullptr);
    EXPECT_EQ(choice.forList.format->formatId, 1015);
    EXPECT_EQ(choice.forList.offset, 300U);
    ASSERT_NE(choice.forExport.format, nullptr);
    EXPECT_EQ(choice.forExport.format->formatId, 1019);
    EXPECT_EQ(choice.forExport.offset, 400U);
    ASSERT_NE(choice.widest, nullptr);
    EXPECT_EQ(choice.widest->width, 720);
    EXPECT_EQ(choice.widest->height, 480);
}

TEST_F(ThumbnailChoiceTest, SlotsWhoseFileIsMissingGiveWayToTheNextBest) {
    for (const std::int32_t id : {1009, 1013}) {
        addFile(id);
    }
    const ThumbnailChoice choice =
        choose(photo({{1015, 300}, {1019, 400}, {1013, 200}, {1009, 100}}));
    ASSERT_NE(choice.forList.format, nullptr);
    EXPECT_EQ(choice.forList.format->formatId, 1009);
    EXPECT_EQ(choice.forList.offset, 100U);
    ASSERT_NE(choice.forExport.format, nullptr);
    EXPECT_EQ(choice.forExport.format->formatId, 1013);
    ASSERT_NE(choice.widest, nullptr);
    EXPECT_EQ(choice.widest->formatId, 1013);
}

TEST_F(ThumbnailChoiceTest, UnknownFormatsEmptySlotsAndMissingFilesLeaveNothingChosen) {
    addFile(1018);
    const ThumbnailChoice choice = choose(photo({{1018, 0}, {0, 0}, {1015, 0}}));
    EXPECT_EQ(choice.forList.format, nullptr);
    EXPECT_EQ(choice.forExport.format, nullptr);
    EXPECT_EQ(choice.widest, nullptr);
}

TEST_F(ThumbnailChoiceTest, EqualRanksAndWidthsKeepTheEarlierSlot) {
    addFile(1013);
    addFile(1020);
    // Both formats are 176 wide with list rank 7 and export rank 3.
    const ThumbnailChoice choice = choose(photo({{1013, 10}, {1020, 20}}));
    ASSERT_NE(choice.forList.format, nullptr);
    EXPECT_EQ(choice.forList.format->formatId, 1013);
    EXPECT_EQ(choice.forList.offset, 10U);
    EXPECT_EQ(choice.forExport.offset, 10U);
    ASSERT_NE(choice.widest, nullptr);
    EXPECT_EQ(choice.widest->formatId, 1013);

    const ThumbnailChoice reversed = choose(photo({{1020, 20}, {1013, 10}}));
    ASSERT_NE(reversed.forList.format, nullptr);
    EXPECT_EQ(reversed.forList.format->formatId, 1020);
    EXPECT_EQ(reversed.forExport.offset, 20U);
    EXPECT_EQ(reversed.widest->formatId, 1020);
}

TEST_F(ThumbnailChoiceTest, LaterFormatsTakeTheirPlaceBySizeAndLeaveTheListToTheFirstFormats) {
    for (const std::int32_t id : {1066, 1067, 1024, 1079, 1083, 1081, 1087, 1023, 1032}) {
        addFile(id);
    }
    const struct {
        const char* player;
        ImageData image;
        std::int32_t forList;
        std::int32_t forExport;
    } cases[] = {
        {"classic", photo({{1066, 0}, {1024, 0}, {1067, 0}}), 1024, 1067},
        {"nano 4G", photo({{1083, 0}, {1079, 0}, {1081, 0}}), 1079, 1081},
        {"nano 5G", photo({{1081, 0}, {1087, 0}, {1066, 0}, {1079, 0}}), 1066, 1081},
        {"nano 5G without its JPEG", photo({{1079, 0}, {1087, 0}, {1066, 0}}), 1066, 1087},
        {"a later format beside two of the first", photo({{1023, 0}, {1066, 0}, {1032, 0}}), 1023,
         1023},
    };
    for (const auto& c : cases) {
        const ThumbnailChoice choice = choose(c.image);
        ASSERT_NE(choice.forList.format, nullptr) << c.player;
        ASSERT_NE(choice.forExport.format, nullptr) << c.player;
        EXPECT_EQ(choice.forList.format->formatId, c.forList) << c.player;
        EXPECT_EQ(choice.forExport.format->formatId, c.forExport) << c.player;
    }
}

TEST_F(ThumbnailChoiceTest, FindsThumbnailFilesWhoseFoldersDifferInCase) {
    test::writeFile(folder_.path() / "photos" / "THUMBS" / "f1036_1.ithmb", {});
    const ThumbnailChoice choice = choose(photo({{1036, 50}}));
    ASSERT_NE(choice.forList.format, nullptr);
    EXPECT_EQ(choice.forList.format->formatId, 1036);
    EXPECT_EQ(choice.forList.offset, 50U);
}

}  // namespace
}  // namespace pelmar
