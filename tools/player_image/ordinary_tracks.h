#pragma once

#include <cstdint>
#include <vector>

#include "player_image/random.h"
#include "player_image/track_draft.h"

namespace pelmar::player_image {

// A plausible library of `count` tracks: mostly whole albums of about a dozen tracks by a few
// thousand artists, with some podcasts, audiobooks, films, TV episodes and music videos.
[[nodiscard]] std::vector<TrackDraft> ordinaryTracks(std::uint32_t count, Random& random);

}  // namespace pelmar::player_image
