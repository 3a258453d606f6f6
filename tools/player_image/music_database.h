#pragma once

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"

namespace pelmar::player_image {

// The whole music database: "mhbd", then the datasets tracks (1), podcast playlists (3),
// playlists (2) and albums (4), or with the albums first when the image asks for it.
void writeMusicDatabase(ByteSink& sink, const PlayerImage& image);

}  // namespace pelmar::player_image
