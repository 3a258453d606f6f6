#pragma once

#include <cstdint>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"

namespace pelmar::player_image {

// ArtworkDB: "mhfd", then the images (1), an empty album list (2) and the formats in use (3).
void writeArtworkDatabase(ByteSink& sink, const PlayerImage& image);

// One thumbnail file: the slots that name it in offset order, each the full slot size.
void writeArtworkFile(ByteSink& sink, const PlayerImage& image, std::uint32_t formatId,
                      std::uint32_t fileNumber);

}  // namespace pelmar::player_image
