#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// The bytes of one slot of the format showing the picture, in the format's own coding.
[[nodiscard]] std::vector<std::uint8_t> drawSlot(PhotoPicture picture,
                                                 const ThumbnailFormat& format);

// Draws each picture once per format: a large image shows the same few pictures thousands of
// times, and a JPEG slot costs milliseconds.
class SlotCache {
  public:
    const std::vector<std::uint8_t>& slot(PhotoPicture picture, const ThumbnailFormat& format);

  private:
    std::map<std::pair<std::uint32_t, PhotoPicture>, std::vector<std::uint8_t>> slots_;
};

}  // namespace pelmar::player_image
