#include "photos/thumbnail_format.h"

#include <algorithm>
#include <array>

#include "photos/planar_yuv.h"

namespace pelmar {

namespace {

using enum PixelLayout;

// Lookups scan the rows in order and take the first match, so the repeated 1019 and 1015 rows of
// the first eleven are never reached. The later players' rows rank after those eleven in the
// list, smallest first, and by size for export.
constexpr std::array<ThumbnailFormat, 33> kThumbnailFormats{{
    {1019, 691200, 720, 480, 0, 1, 8, 1, InterlacedYuv},
    {1020, 77440, 176, 220, 0, 0, 7, 3, Rgb565Big},
    {1013, 77440, 176, 220, 0, 0, 7, 3},
    {1009, 2520, 42, 30, 0, 0, 6, 8},
    {1015, 22880, 130, 88, 0, 0, 1, 5},
    {1023, 46464, 176, 132, 0, 0, 4, 4, Rgb565Big},
    {1032, 3108, 42, 37, 0, 0, 5, 7},
    {1019, 691200, 720, 480, 0, 1, 8, 1, InterlacedYuv},
    {1024, 153600, 320, 240, 0, 0, 3, 2},
    {1036, 4100, 50, 41, 0, 0, 2, 6},
    {1015, 22880, 130, 88, 0, 0, 1, 5},
    // Photos of the classic, the nano 3G, 4G and 5G.
    {1067, 691200, 720, 480, 0, 0, 23, 9, PlanarYuv420, true},
    {1081, 614400, 640, 480, 0, 0, 22, 10, Jpeg, true},
    {1087, 294912, 384, 384, 0, 0, 21, 11, Rgb565Little, true},
    {1083, 153600, 240, 320, 0, 0, 19, 13, Rgb565Little, true},
    {1079, 12800, 80, 80, 0, 0, 13, 19, Rgb565Little, true},
    {1066, 8192, 64, 64, 0, 0, 12, 20, Rgb565Little, true},
    // Album artwork of every generation that has it.
    {1016, 39200, 140, 140, 0, 0, 16, 16, Rgb565Little, true},
    {1017, 6272, 56, 56, 0, 0, 11, 21, Rgb565Little, true},
    {1028, 20000, 100, 100, 0, 0, 14, 18, Rgb565Little, true},
    {1029, 80000, 200, 200, 0, 0, 17, 15, Rgb565Little, true},
    {1027, 20000, 100, 100, 0, 0, 14, 18, Rgb565Little, true},
    {1031, 3696, 42, 42, 0, 0, 9, 23, Rgb565Little, true},
    {1060, 204800, 320, 320, 0, 0, 20, 12, Rgb565Little, true},
    {1055, 32768, 128, 128, 0, 0, 15, 17, Rgb565Little, true},
    {1068, 32768, 128, 128, 0, 0, 15, 17, Rgb565Little, true},
    {1061, 6272, 56, 56, 0, 0, 11, 21, Rgb565Little, true},
    {1071, 115200, 240, 240, 0, 0, 18, 14, Rgb565Little, true},
    {1084, 115200, 240, 240, 0, 0, 18, 14, Rgb565Little, true},
    {1073, 115200, 240, 240, 0, 0, 18, 14, Rgb565Little, true},
    {1078, 12800, 80, 80, 0, 0, 13, 19, Rgb565Little, true},
    {1074, 5200, 50, 50, 0, 0, 10, 22, Rgb565Little, true},
    {1056, 32768, 128, 128, 0, 0, 15, 17, Rgb565Little, true},
}};

// A stated slot larger than this many times the format's own size is damage, not padding.
constexpr std::uint64_t kLargestSlotFactor = 4;

// The fewest bytes that hold every pixel of the picture.
std::uint64_t leastSlotSize(const ThumbnailFormat& format) {
    const std::uint64_t pixels = pixelCount(format);
    switch (pixelLayout(format)) {
        case PlanarYuv420:
            return planarYuvSize(format.width, format.height);
        case Jpeg:
            return 4;  // a start and an end marker
        default:
            return pixels * 2;
    }
}

}  // namespace

std::span<const ThumbnailFormat> thumbnailFormatTable() {
    return kThumbnailFormats;
}

const ThumbnailFormat* findThumbnailFormat(std::uint32_t formatId) {
    for (const ThumbnailFormat& format : kThumbnailFormats) {
        if (static_cast<std::uint32_t>(format.formatId) == formatId) {
            return &format;
        }
    }
    return nullptr;
}

PixelLayout pixelLayout(const ThumbnailFormat& format) {
    return format.interlacedYuv != 0 ? InterlacedYuv : format.layout;
}

bool isBigEndianFormat(const ThumbnailFormat& format) {
    return pixelLayout(format) == Rgb565Big;
}

std::uint64_t pixelCount(const ThumbnailFormat& format) {
    return std::uint64_t{format.width} * format.height;
}

bool makesLargerPicture(const ThumbnailFormat& format, const ThumbnailFormat& other) {
    if (pixelCount(format) != pixelCount(other)) {
        return pixelCount(format) > pixelCount(other);
    }
    return format.exportRank < other.exportRank;
}

std::uint32_t slotSize(const ThumbnailFormat& format, std::uint32_t statedSize) {
    const std::uint32_t own = format.byteSize > 0 ? static_cast<std::uint32_t>(format.byteSize) : 0;
    if (!format.slotSizeFromDatabase || statedSize < leastSlotSize(format) ||
        statedSize > kLargestSlotFactor * own) {
        return own;
    }
    return statedSize;
}

std::uint32_t rowLength(const ThumbnailFormat& format, std::uint32_t slot) {
    const std::uint32_t pixelRow = format.width * 2u;
    if (format.height == 0) {
        return pixelRow;
    }
    return std::max(pixelRow, slot / format.height);
}

std::string thumbnailFilePath(const std::string& rootPath, std::int32_t formatId) {
    return rootPath + "Photos/Thumbs/F" + std::to_string(formatId) + "_1.ithmb";
}

}  // namespace pelmar
