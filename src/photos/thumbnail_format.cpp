#include "photos/thumbnail_format.h"

#include <array>

namespace pelmar {

namespace {

// Lookups scan the rows in order and take the first match, so the repeated 1019 and 1015 rows
// near the end are never reached.
constexpr std::array<ThumbnailFormat, 11> kThumbnailFormats{{
    {1019, 691200, 720, 480, 0, 1, 8, 1},
    {1020, 77440, 176, 220, 0, 0, 7, 3},
    {1013, 77440, 176, 220, 0, 0, 7, 3},
    {1009, 2520, 42, 30, 0, 0, 6, 8},
    {1015, 22880, 130, 88, 0, 0, 1, 5},
    {1023, 46464, 176, 132, 0, 0, 4, 4},
    {1032, 3108, 42, 37, 0, 0, 5, 7},
    {1019, 691200, 720, 480, 0, 1, 8, 1},
    {1024, 153600, 320, 240, 0, 0, 3, 2},
    {1036, 4100, 50, 41, 0, 0, 2, 6},
    {1015, 22880, 130, 88, 0, 0, 1, 5},
}};

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

bool isBigEndianFormat(const ThumbnailFormat& format) {
    return format.formatId == 1020 || format.formatId == 1023;
}

std::string thumbnailFilePath(const std::string& rootPath, std::int32_t formatId) {
    return rootPath + "Photos/Thumbs/F" + std::to_string(formatId) + "_1.ithmb";
}

}  // namespace pelmar
