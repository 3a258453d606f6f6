#pragma once

#include <cstdint>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// Where the picture itself lies within a thumbnail; the rest is black padding.
struct PictureFrame {
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Pictures fill the whole thumbnail, except the panorama and the portrait, which keep their
// aspect.
[[nodiscard]] PictureFrame pictureFrame(PhotoPicture picture, std::uint32_t width,
                                        std::uint32_t height);

}  // namespace pelmar::player_image
