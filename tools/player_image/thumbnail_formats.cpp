#include "player_image/thumbnail_formats.h"

#include <array>
#include <stdexcept>

namespace pelmar::player_image {
namespace {

constexpr std::array<ThumbnailFormat, 10> kFormats{{
    {kTelevisionFormat, 720, 480, false, true},
    {1020, 176, 220, true, false},
    {1013, 176, 220, false, false},
    {1009, 42, 30, false, false},
    {1015, 130, 88, false, false},
    {1023, 176, 132, true, false},
    {1032, 42, 37, false, false},
    {1024, 320, 240, false, false},
    {1036, 50, 41, false, false},
    {kUnknownFormat, 128, 128, false, false},
}};

}  // namespace

std::span<const ThumbnailFormat> writtenFormats() {
    return kFormats;
}

const ThumbnailFormat* thumbnailFormat(std::uint32_t formatId) {
    for (const ThumbnailFormat& format : kFormats) {
        if (format.formatId == formatId) {
            return &format;
        }
    }
    return nullptr;
}

const ThumbnailFormat& formatOf(std::uint32_t formatId) {
    const ThumbnailFormat* format = thumbnailFormat(formatId);
    if (format == nullptr) {
        throw std::invalid_argument("no thumbnails are written in format " +
                                    std::to_string(formatId));
    }
    return *format;
}

std::string thumbnailFileName(std::uint32_t formatId) {
    return "F" + std::to_string(formatId) + "_1.ithmb";
}

}  // namespace pelmar::player_image
