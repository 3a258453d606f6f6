#pragma once

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"

namespace pelmar::player_image {

// The whole photo database: "mhfd", then the datasets images (1), albums (2) and thumbnail
// formats (3), in that order, as readers rely on the images coming before the albums.
void writePhotoDatabase(ByteSink& sink, const PlayerImage& image);

}  // namespace pelmar::player_image
