#pragma once

#include <cstdint>
#include <vector>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// A baseline JPEG (4:2:0, quality 92) of the picture drawn at width x height. Throws
// std::runtime_error when the encoder fails.
[[nodiscard]] std::vector<std::uint8_t> encodeJpeg(PhotoPicture picture, std::uint32_t width,
                                                   std::uint32_t height);

}  // namespace pelmar::player_image
