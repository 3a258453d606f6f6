#include "tools/later_pixels.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pelmar::player_image::test {
namespace {

std::uint8_t clampRound(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

Rgb decodeRgb565(std::span<const std::uint8_t> slot, std::uint32_t rowBytes, std::uint32_t x,
                 std::uint32_t y) {
    const std::size_t at = std::size_t{y} * rowBytes + 2 * std::size_t{x};
    const unsigned pixel = static_cast<unsigned>(slot[at + 1]) << 8 | slot[at];
    return {static_cast<std::uint8_t>((pixel >> 11 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel >> 6 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel & 0x1F) * 8)};
}

Rgb decodePlanarYuv(std::span<const std::uint8_t> slot, std::uint32_t width, std::uint32_t height,
                    std::uint32_t x, std::uint32_t y) {
    const std::size_t luma = std::size_t{width} * height;
    const std::size_t chroma = std::size_t{y / 2} * (width / 2) + x / 2;
    const double scaledY = 1.164383 * (slot[std::size_t{y} * width + x] - 16.0);
    const double u = slot[luma + chroma] - 128.0;
    const double v = slot[luma + luma / 4 + chroma] - 128.0;
    return {clampRound(scaledY + 1.596027 * v), clampRound(scaledY - 0.391762 * u - 0.812968 * v),
            clampRound(scaledY + 2.017232 * u)};
}

Rgb DecodedJpeg::at(std::uint32_t x, std::uint32_t y) const {
    const std::size_t place = 3 * (std::size_t{y} * width + x);
    return {rgb[place], rgb[place + 1], rgb[place + 2]};
}

std::optional<DecodedJpeg> decodeJpeg(std::span<const std::uint8_t> bytes) {
    tjhandle decoder = tjInitDecompress();
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourSpace = 0;
    std::optional<DecodedJpeg> decoded;
    if (tjDecompressHeader3(decoder, bytes.data(), bytes.size(), &width, &height, &subsampling,
                            &colourSpace) == 0) {
        DecodedJpeg picture{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                            std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
        if (tjDecompress2(decoder, bytes.data(), bytes.size(), picture.rgb.data(), width, 0, height,
                          TJPF_RGB, TJFLAG_ACCURATEDCT) == 0) {
            decoded = std::move(picture);
        }
    }
    tjDestroy(decoder);
    return decoded;
}

std::size_t jpegLength(std::span<const std::uint8_t> bytes) {
    std::size_t end = bytes.size();
    while (end > 0 && bytes[end - 1] == 0) {
        --end;
    }
    const bool framed = end >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 &&
                        bytes[end - 2] == 0xFF && bytes[end - 1] == 0xD9;
    return framed ? end : 0;
}

int largestDifference(Rgb a, Rgb b) {
    return std::max(
        {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

}  // namespace pelmar::player_image::test
