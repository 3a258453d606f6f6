#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// ":Full Resolution:2005:08:06:IMG_3609.JPG": dated by the photo's times (the last sync when it
// has none), numbered by its place in the database as a camera numbers its pictures.
[[nodiscard]] std::string originalPathFor(const Photo& photo, std::size_t position);

// The originals' bytes. Each picture is encoded once; a comment naming the photo's file makes
// every original unique.
class Originals {
  public:
    [[nodiscard]] std::vector<std::uint8_t> bytes(const Photo& photo);
    [[nodiscard]] std::uint32_t size(const Photo& photo);

  private:
    const std::vector<std::uint8_t>& picture(PhotoPicture picture);

    std::map<PhotoPicture, std::vector<std::uint8_t>> pictures_;
};

}  // namespace pelmar::player_image
