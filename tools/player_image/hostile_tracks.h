#pragma once

#include <vector>

#include "player_image/track_draft.h"

namespace pelmar::player_image {

// The fixed awkward tracks every image carries, most important first, so that an image too
// small for all of them keeps those that matter most: first one of each file type code 1..13
// (covering every media kind as well), then the type-text and naming corner cases.
[[nodiscard]] std::vector<TrackDraft> hostileTracks();

}  // namespace pelmar::player_image
