#include "player_image/thumbnail_formats.h"

#include <array>
#include <stdexcept>

namespace pelmar::player_image {
namespace {

constexpr PixelCoding kLittle = PixelCoding::Rgb565Little;
constexpr PixelCoding kBig = PixelCoding::Rgb565Big;

// The program's table and 1066 first, in the order the mixed image has always used; then the
// formats of later players, photos before artwork.
constexpr std::array<ThumbnailFormat, 31> kFormats{{
    {kTelevisionFormat, 720, 480, PixelCoding::InterlacedYuv, 0},
    {1020, 176, 220, kBig, 0},
    {1013, 176, 220, kLittle, 0},
    {1009, 42, 30, kLittle, 0},
    {1015, 130, 88, kLittle, 0},
    {1023, 176, 132, kBig, 0},
    {1032, 42, 37, kLittle, 0},
    {1024, 320, 240, kLittle, 0},
    {1036, 50, 41, kLittle, 0},
    {kUnknownFormat, 64, 64, kLittle, 0},
    {1067, 720, 480, PixelCoding::PlanarYuv420, 0},
    {1079, 80, 80, kLittle, 0},
    {1083, 240, 320, kLittle, 0},
    {1081, 640, 480, PixelCoding::Jpeg, 0},
    {1087, 384, 384, kLittle, 0},
    {1017, 56, 56, kLittle, 0},
    {1016, 140, 140, kLittle, 0},
    {1028, 100, 100, kLittle, 0},
    {1029, 200, 200, kLittle, 0},
    {1031, 42, 42, kLittle, 4},
    {1027, 100, 100, kLittle, 0},
    {1061, 56, 56, kLittle, 0},
    {1055, 128, 128, kLittle, 0},
    {1068, 128, 128, kLittle, 0},
    {1060, 320, 320, kLittle, 0},
    {1071, 240, 240, kLittle, 0},
    {1074, 50, 50, kLittle, 4},
    {1078, 80, 80, kLittle, 0},
    {1084, 240, 240, kLittle, 0},
    {1056, 128, 128, kLittle, 0},
    {1073, 240, 240, kLittle, 0},
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
