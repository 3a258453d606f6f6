#pragma once

#include <cstdint>

#include "player_image/player_image.h"

// The two pixel encodings of thumbnail files, each with the decoding the program applies, so
// that the colour a correct decoder shows is known exactly.
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

}  // namespace pelmar::player_image
