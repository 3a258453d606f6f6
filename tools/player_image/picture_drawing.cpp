#include "player_image/picture_drawing.h"

#include <array>
#include <stdexcept>
#include <string>

#include "player_image/jpeg_encoding.h"
#include "player_image/photo_pictures.h"
#include "player_image/pixel_encoding.h"
#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The interlaced format stores the even display lines first, then the odd ones.
std::uint32_t displayLine(std::uint32_t storedRow, std::uint32_t height) {
    const std::uint32_t half = height / 2;
    return storedRow < half ? 2 * storedRow : 2 * (storedRow - half) + 1;
}

void drawRgb(PhotoPicture picture, const ThumbnailFormat& format, Bytes& out) {
    const bool bigEndian = format.coding == PixelCoding::Rgb565Big;
    for (std::uint32_t y = 0; y < format.height; ++y) {
        std::size_t at = std::size_t{y} * format.rowBytes();
        for (std::uint32_t x = 0; x < format.width; ++x) {
            const std::uint16_t pixel =
                packRgb565(pictureColour(picture, format.width, format.height, x, y));
            const auto high = static_cast<std::uint8_t>(pixel >> 8);
            const auto low = static_cast<std::uint8_t>(pixel);
            out[at++] = bigEndian ? high : low;
            out[at++] = bigEndian ? low : high;
        }
    }
}

void drawInterlacedYuv(PhotoPicture picture, const ThumbnailFormat& format, Bytes& out) {
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < format.height; ++row) {
        const std::uint32_t line = displayLine(row, format.height);
        for (std::uint32_t x = 0; x + 1 < format.width; x += 2) {
            const YuvPair pair =
                packYuvPair(pictureColour(picture, format.width, format.height, x, line),
                            pictureColour(picture, format.width, format.height, x + 1, line));
            out[at++] = pair.u;
            out[at++] = pair.y0;
            out[at++] = pair.v;
            out[at++] = pair.y1;
        }
    }
}

// The chroma of one 2 x 2 block: the mean of its four pixels, rounded once.
std::array<std::uint8_t, 2> blockChroma(PhotoPicture picture, const ThumbnailFormat& format,
                                        std::uint32_t column, std::uint32_t row) {
    double u = 0;
    double v = 0;
    for (std::uint32_t dy = 0; dy < 2; ++dy) {
        for (std::uint32_t dx = 0; dx < 2; ++dx) {
            const Yuv601 yuv = toYuv601(
                pictureColour(picture, format.width, format.height, 2 * column + dx, 2 * row + dy));
            u += yuv.u;
            v += yuv.v;
        }
    }
    return {roundToByte(u / 4), roundToByte(v / 4)};
}

void drawPlanarYuv(PhotoPicture picture, const ThumbnailFormat& format, Bytes& out) {
    const std::size_t lumaSize = std::size_t{format.width} * format.height;
    const std::uint32_t chromaWidth = format.width / 2;
    const std::size_t chromaSize = lumaSize / 4;
    for (std::uint32_t y = 0; y < format.height; ++y) {
        for (std::uint32_t x = 0; x < format.width; ++x) {
            out[std::size_t{y} * format.width + x] =
                roundToByte(toYuv601(pictureColour(picture, format.width, format.height, x, y)).y);
        }
    }
    for (std::uint32_t row = 0; row < format.height / 2; ++row) {
        for (std::uint32_t column = 0; column < chromaWidth; ++column) {
            const auto [u, v] = blockChroma(picture, format, column, row);
            const std::size_t at = std::size_t{row} * chromaWidth + column;
            out[lumaSize + at] = u;
            out[lumaSize + chromaSize + at] = v;
        }
    }
}

void drawJpeg(PhotoPicture picture, const ThumbnailFormat& format, Bytes& out) {
    const Bytes jpeg = encodeJpeg(picture, format.width, format.height);
    if (jpeg.size() > out.size()) {
        throw std::runtime_error("a JPEG of " + std::to_string(jpeg.size()) +
                                 " bytes does not fit the slot of format " +
                                 std::to_string(format.formatId));
    }
    std::copy(jpeg.begin(), jpeg.end(), out.begin());
}

}  // namespace

Bytes drawSlot(PhotoPicture picture, const ThumbnailFormat& format) {
    Bytes out(format.byteSize(), 0);
    switch (format.coding) {
        case PixelCoding::Rgb565Little:
        case PixelCoding::Rgb565Big:
            drawRgb(picture, format, out);
            break;
        case PixelCoding::InterlacedYuv:
            drawInterlacedYuv(picture, format, out);
            break;
        case PixelCoding::PlanarYuv420:
            drawPlanarYuv(picture, format, out);
            break;
        case PixelCoding::Jpeg:
            drawJpeg(picture, format, out);
            break;
    }
    return out;
}

const Bytes& SlotCache::slot(PhotoPicture picture, const ThumbnailFormat& format) {
    const auto key = std::make_pair(format.formatId, picture);
    auto found = slots_.find(key);
    if (found == slots_.end()) {
        found = slots_.emplace(key, drawSlot(picture, format)).first;
    }
    return found->second;
}

Rgb decodedColour(PhotoPicture picture, std::uint32_t formatId, std::uint32_t x, std::uint32_t y) {
    const ThumbnailFormat& format = formatOf(formatId);
    const Rgb intended = pictureColour(picture, format.width, format.height, x, y);
    switch (format.coding) {
        case PixelCoding::Rgb565Little:
        case PixelCoding::Rgb565Big:
            return unpackRgb565(packRgb565(intended));
        case PixelCoding::InterlacedYuv: {
            const std::uint32_t left = x & ~1U;
            const YuvPair pair =
                packYuvPair(pictureColour(picture, format.width, format.height, left, y),
                            pictureColour(picture, format.width, format.height, left + 1, y));
            return unpackYuv(x == left ? pair.y0 : pair.y1, pair.u, pair.v);
        }
        case PixelCoding::PlanarYuv420: {
            const auto [u, v] = blockChroma(picture, format, x / 2, y / 2);
            return fromYuv601(roundToByte(toYuv601(intended).y), u, v);
        }
        case PixelCoding::Jpeg:
            return intended;
    }
    return intended;
}

Rgb decodedColour(const Photo& photo, std::uint32_t formatId, std::uint32_t x, std::uint32_t y) {
    return decodedColour(photo.picture, formatId, x, y);
}

int decodeTolerance(std::uint32_t formatId) {
    return formatOf(formatId).coding == PixelCoding::Jpeg ? kJpegTolerance : 0;
}

}  // namespace pelmar::player_image
