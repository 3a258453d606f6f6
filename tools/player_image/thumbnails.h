#pragma once

#include <cstdint>
#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"

namespace pelmar::player_image {

// The thumbnail file of one format: every thumbnail of that format at its offset, in full format
// size whatever size the database states, with zero bytes in any gap between them. Throws
// std::invalid_argument for thumbnails that overlap or a format the writer does not write.
void writeThumbnailFile(ByteSink& sink, const PlayerImage& image, std::uint32_t formatId);

// The formats that have thumbnails in the image, in the order of writtenFormats().
[[nodiscard]] std::vector<std::uint32_t> formatsInUse(const PlayerImage& image);

}  // namespace pelmar::player_image
