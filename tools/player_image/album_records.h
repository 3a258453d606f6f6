#pragma once

#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

namespace pelmar::player_image {

// The album list ("mhla" with the count, one "mhia" per distinct album and artist, with album
// name and artist children of types 200 and 201). The program does not read it; it is there
// because real databases have it and a reader must step over it.
void writeAlbumList(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children);

}  // namespace pelmar::player_image
