#include "tools/thumbnail_decoder.h"

#include <array>

namespace pelmar::player_image::test {
namespace {

constexpr std::array<KnownFormat, 9> kKnownFormats{{
    {1019, 691200, 720, 480, true, false},
    {1020, 77440, 176, 220, false, true},
    {1013, 77440, 176, 220, false, false},
    {1009, 2520, 42, 30, false, false},
    {1015, 22880, 130, 88, false, false},
    {1023, 46464, 176, 132, false, true},
    {1032, 3108, 42, 37, false, false},
    {1024, 153600, 320, 240, false, false},
    {1036, 4100, 50, 41, false, false},
}};

std::uint8_t channel(double value) {
    return static_cast<std::uint8_t>(static_cast<int>(value) & 0xFF);
}

Rgb decodeRgb(const KnownFormat& format, std::span<const std::uint8_t> thumbnail, std::uint32_t x,
              std::uint32_t y) {
    const std::size_t at = 2 * (std::size_t{y} * format.width + x);
    const unsigned first = thumbnail[at];
    const unsigned second = thumbnail[at + 1];
    const unsigned pixel = format.bigEndian ? (first << 8 | second) : (second << 8 | first);
    return {static_cast<std::uint8_t>((pixel >> 11 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel >> 6 & 0x1F) * 8),
            static_cast<std::uint8_t>((pixel & 0x1F) * 8)};
}

// Even display lines lie in the first half of the rows, odd ones in the second.
Rgb decodeYuv(const KnownFormat& format, std::span<const std::uint8_t> thumbnail, std::uint32_t x,
              std::uint32_t line) {
    const std::uint32_t storedRow = line % 2 == 0 ? line / 2 : (line + 479) / 2;
    const std::size_t group = 2 * (std::size_t{storedRow} * format.width + (x & ~1U));
    const double u = thumbnail[group] - 128.0;
    const double y = thumbnail[group + (x % 2 == 0 ? 1 : 3)];
    const double v = thumbnail[group + 2] - 128.0;
    return {channel(y + 1.4075 * v), channel(y - 0.3455 * u - 0.7169 * v), channel(y + 1.779 * u)};
}

}  // namespace

std::span<const KnownFormat> knownFormats() {
    return kKnownFormats;
}

std::optional<KnownFormat> knownFormat(std::uint32_t formatId) {
    for (const KnownFormat& format : kKnownFormats) {
        if (format.formatId == formatId) {
            return format;
        }
    }
    return std::nullopt;
}

Rgb decodePixel(const KnownFormat& format, std::span<const std::uint8_t> thumbnail, std::uint32_t x,
                std::uint32_t y) {
    return format.interlacedYuv ? decodeYuv(format, thumbnail, x, y)
                                : decodeRgb(format, thumbnail, x, y);
}

}  // namespace pelmar::player_image::test
