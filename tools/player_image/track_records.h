#pragma once

#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

namespace pelmar::player_image {

// The track list: "mhlt" with the count, then each "mhit" followed by its string children.
// Absent tags get no child, so the child count at +12 varies from track to track.
void writeTrackList(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children);

}  // namespace pelmar::player_image
