#pragma once

#include <vector>

#include "player_image/player_image.h"
#include "player_image/random.h"

namespace pelmar::player_image {

// What the player recorded since the last sync, one entry per track: many untouched (no plays,
// the rating unchanged), some played, some rated anew on the player, some skipped.
[[nodiscard]] std::vector<PlayCountEntry> makePlayCounts(const std::vector<Track>& tracks,
                                                         Random& random);

}  // namespace pelmar::player_image
