#pragma once

#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

namespace pelmar::player_image {

// The master playlist's index children, as real masters carry them: for each sort order a
// type-52 child listing every track's position in that order, then the type-53 jump tables
// (first letter, where it starts, how many).
void writeMasterIndex(ByteSink& sink, const std::vector<Track>& tracks, ChildWriter& children);

// How many children writeMasterIndex writes.
[[nodiscard]] std::uint32_t masterIndexChildCount();

}  // namespace pelmar::player_image
