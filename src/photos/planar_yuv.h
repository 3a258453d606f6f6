#pragma once

#include <cstdint>
#include <span>

#include "photos/rgb_image.h"
#include "photos/row_progress.h"

namespace pelmar {

// Bytes a planar 4:2:0 picture of that size takes: the Y plane and two chroma planes of half the
// width and height, rounded up.
[[nodiscard]] std::uint64_t planarYuvSize(std::uint32_t width, std::uint32_t height);

// Decodes a planar 4:2:0 picture of image.width × image.height into image.pixels (already that
// size), converting as BT.601 limited range does in double precision, rounded to the nearest
// value and held within a byte. `data` holds at least planarYuvSize bytes.
void decodePlanarYuv(std::span<const std::uint8_t> data, RgbImage& image, RowProgress& progress);

}  // namespace pelmar
