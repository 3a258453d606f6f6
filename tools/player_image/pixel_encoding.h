#pragma once

#include <cstdint>

#include "player_image/player_image.h"

// The pixel encodings of thumbnail files, each with the decoding a correct reader applies, so
// that the colour it shows is known exactly.
namespace pelmar::player_image {

// Each channel scaled to its bit width and rounded: red in bits 15-11, green 10-5, blue 4-0.
[[nodiscard]] std::uint16_t packRgb565(Rgb colour);
// Five bits a channel times 8; the lowest green bit is not used.
[[nodiscard]] Rgb unpackRgb565(std::uint16_t pixel);

// Two horizontally neighbouring pixels, stored as U Y0 V Y1.
struct YuvPair {
    std::uint8_t u = 128;
    std::uint8_t y0 = 0;
    std::uint8_t v = 128;
    std::uint8_t y1 = 0;
};

// Each pixel keeps its own luma; the two share the mean of their chroma.
[[nodiscard]] YuvPair packYuvPair(Rgb left, Rgb right);
// Without clamping: each channel truncated toward zero, its low 8 bits kept.
[[nodiscard]] Rgb unpackYuv(std::uint8_t y, std::uint8_t u, std::uint8_t v);

// BT.601 limited range, as the planar format stores it; unrounded, so that chroma can be
// averaged over its 2 x 2 pixels before rounding.
struct Yuv601 {
    double y = 16;
    double u = 128;
    double v = 128;
};
[[nodiscard]] Yuv601 toYuv601(Rgb colour);
// Rounded to nearest and clamped to 0-255.
[[nodiscard]] std::uint8_t roundToByte(double value);
// In double precision, each channel rounded to nearest and clamped to 0-255.
[[nodiscard]] Rgb fromYuv601(std::uint8_t y, std::uint8_t u, std::uint8_t v);

}  // namespace pelmar::player_image
