#pragma once

#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

namespace pelmar::player_image {

// A playlist list: "mhlp" with the count, then each "mhyp": its name child first, then index or
// rule children, then its items ("mhip", track id at +24), each followed by a position child.
// With `tracksForMasterIndex`, the first playlist is the hidden master and carries the index
// children over those tracks.
void writePlaylistList(ByteSink& sink, const std::vector<Playlist>& playlists,
                       const std::vector<Track>* tracksForMasterIndex, ChildWriter& children);

}  // namespace pelmar::player_image
