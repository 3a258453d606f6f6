#include <gtest/gtest.h>

#include <cstdint>

#include "photos/thumbnail_format.h"

namespace pelmar {
namespace {

struct FormatRow {
    std::int32_t formatId;
    std::int32_t byteSize;
    std::uint16_t width;
    std::uint16_t height;
    bool interlacedYuv;
    std::uint8_t listRank;
    std::uint8_t exportRank;
    bool bigEndian;
};

TEST(ThumbnailFormatTable, KnowsEachFormatWithItsSizeRanksAndByteOrder) {
    const FormatRow rows[] = {
        {1019, 691200, 720, 480, true, 8, 1, false}, {1020, 77440, 176, 220, false, 7, 3, true},
        {1013, 77440, 176, 220, false, 7, 3, false}, {1009, 2520, 42, 30, false, 6, 8, false},
        {1015, 22880, 130, 88, false, 1, 5, false},  {1023, 46464, 176, 132, false, 4, 4, true},
        {1032, 3108, 42, 37, false, 5, 7, false},    {1024, 153600, 320, 240, false, 3, 2, false},
        {1036, 4100, 50, 41, false, 2, 6, false},
    };
    for (const FormatRow& row : rows) {
        SCOPED_TRACE(row.formatId);
        const ThumbnailFormat* format =
            findThumbnailFormat(static_cast<std::uint32_t>(row.formatId));
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->formatId, row.formatId);
        EXPECT_EQ(format->byteSize, row.byteSize);
        EXPECT_EQ(format->byteSize, format->width * format->height * 2);
        EXPECT_EQ(format->width, row.width);
        EXPECT_EQ(format->height, row.height);
        EXPECT_EQ(format->reserved, 0);
        EXPECT_EQ(format->interlacedYuv != 0, row.interlacedYuv);
        EXPECT_EQ(format->listRank, row.listRank);
        EXPECT_EQ(format->exportRank, row.exportRank);
        EXPECT_EQ(isBigEndianFormat(*format), row.bigEndian);
    }
}

TEST(ThumbnailFormatTable, StartsWithElevenRowsOfWhichTheRepeatedOnesAreNeverFound) {
    const auto table = thumbnailFormatTable();
    ASSERT_GT(table.size(), 11u);
    for (std::size_t row = 0; row < 11; ++row) {
        EXPECT_FALSE(table[row].slotSizeFromDatabase) << "row " << row + 1;
        EXPECT_EQ(pixelLayout(table[row]) == PixelLayout::InterlacedYuv,
                  table[row].interlacedYuv != 0);
    }
    EXPECT_EQ(table[7].formatId, 1019);
    EXPECT_EQ(table[10].formatId, 1015);
    EXPECT_EQ(findThumbnailFormat(1019), &table[0]);
    EXPECT_EQ(findThumbnailFormat(1015), &table[4]);
    for (std::size_t row = 0; row < table.size(); ++row) {
        const ThumbnailFormat* found =
            findThumbnailFormat(static_cast<std::uint32_t>(table[row].formatId));
        EXPECT_LE(found, &table[row]) << "row " << row + 1;
    }
}

TEST(ThumbnailFormatTable, FindsNothingForEmptySlotsAndUnknownIds) {
    for (const std::uint32_t formatId : {0u, 1u, 1018u, 1099u, 0xFFFFFFFFu, 0x800003FBu}) {
        EXPECT_EQ(findThumbnailFormat(formatId), nullptr) << formatId;
    }
}

TEST(SlotSize, TakesTheDatabasesSizeOnlyForLaterFormatsAndOnlyWhereItFits) {
    const struct {
        std::uint32_t formatId;
        std::uint32_t stated;
        std::uint32_t slot;
        std::uint32_t row;
    } cases[] = {
        {1015, 30000, 22880, 260},  // the first formats keep the table's size
        {1074, 5200, 5200, 104},    // padded rows
        {1074, 0, 5200, 104},       // nothing stated: the table's
        {1060, 204800, 204800, 640},
        {1060, 204799, 204800, 640},  // too small for the picture
        {1060, 212480, 212480, 664},  // rows padded to 664 bytes
        {1060, 819200, 819200, 2560},
        {1060, 819201, 204800, 640},   // absurd
        {1067, 518400, 518400, 1440},  // planar: only the planes
        {1067, 518399, 691200, 1440},
        {1081, 20000, 20000, 1280},  // a JPEG stream needs no more than it holds
    };
    for (const auto& c : cases) {
        const ThumbnailFormat& format = *findThumbnailFormat(c.formatId);
        EXPECT_EQ(slotSize(format, c.stated), c.slot) << c.formatId << " stating " << c.stated;
        EXPECT_EQ(rowLength(format, c.slot), c.row) << c.formatId << " stating " << c.stated;
    }
}

TEST(ThumbnailFilePath, NamesTheFormatsFileUnderThePhotosFolder) {
    EXPECT_EQ(thumbnailFilePath("/media/player/", 1019),
              "/media/player/Photos/Thumbs/F1019_1.ithmb");
    EXPECT_EQ(thumbnailFilePath("/", 1036), "/Photos/Thumbs/F1036_1.ithmb");
}

}  // namespace
}  // namespace pelmar
