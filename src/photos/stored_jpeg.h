#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "photos/rgb_image.h"

namespace pelmar {

// The length of the JPEG stream at the start of `bytes`, up to and including its end marker:
// 0 unless the bytes start with a start marker and hold well-formed segments, at least one scan
// and an end marker. Markers inside segments (an embedded preview's, say) do not end it.
[[nodiscard]] std::size_t storedJpegLength(std::span<const std::uint8_t> bytes);

// The JPEG stream decoded to RGB at its own size. Nothing when it does not decode or would
// have more than `largestPixelCount` pixels; a stream damaged part way shows what decoded.
[[nodiscard]] std::optional<RgbImage> decodeJpegStream(std::span<const std::uint8_t> jpeg,
                                                       std::uint64_t largestPixelCount);

}  // namespace pelmar
