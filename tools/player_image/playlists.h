#pragma once

#include <vector>

#include "player_image/player_image.h"
#include "player_image/random.h"

namespace pelmar::player_image {

// The master playlist (every track, database order) first, then the fixed awkward playlists
// (names differing only in case, duplicates, non-Latin, 300 characters, empty, a track listed
// twice, a smart playlist), then ordinary ones.
[[nodiscard]] std::vector<Playlist> makePlaylists(const std::vector<Track>& tracks, Random& random);

// One playlist per podcast show, named after the show, its episodes in database order.
[[nodiscard]] std::vector<Playlist> makePodcastPlaylists(const std::vector<Track>& tracks);

}  // namespace pelmar::player_image
