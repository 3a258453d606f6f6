#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "player_image/player_image.h"

// Decoders for the picture formats of later players, written down afresh from the format
// description so that the writer's slots are checked against the format, not its own encoder.
namespace pelmar::player_image::test {

// RGB 5-6-5 little-endian in rows of `rowBytes`; five bits a channel times 8, as the program
// decodes its older formats.
[[nodiscard]] Rgb decodeRgb565(std::span<const std::uint8_t> slot, std::uint32_t rowBytes,
                               std::uint32_t x, std::uint32_t y);

// Planar YUV 4:2:0, BT.601 limited range: the Y plane, then U and V at half width and height.
[[nodiscard]] Rgb decodePlanarYuv(std::span<const std::uint8_t> slot, std::uint32_t width,
                                  std::uint32_t height, std::uint32_t x, std::uint32_t y);

struct DecodedJpeg {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;

    [[nodiscard]] Rgb at(std::uint32_t x, std::uint32_t y) const;
};

// Decodes the stream up to and including its EOI; nullopt when it does not decode.
[[nodiscard]] std::optional<DecodedJpeg> decodeJpeg(std::span<const std::uint8_t> bytes);

// The length of a JPEG stream from SOI to its EOI, before zero bytes up to the end; 0 when the
// bytes are no such stream.
[[nodiscard]] std::size_t jpegLength(std::span<const std::uint8_t> bytes);

[[nodiscard]] int largestDifference(Rgb a, Rgb b);

}  // namespace pelmar::player_image::test
