#pragma once

#include <cstdint>
#include <vector>

#include "player_image/player_image.h"
#include "player_image/random.h"

// What the files of later players record beyond the music database, generated from their own
// random streams so that the music side stays the same with or without them.
namespace pelmar::player_image {

// The player's play data after the sync, one per track: higher play counts and later times for
// the tracks played since, new ratings for some, skips and bookmarks, a few tracks without a row,
// and times of 0 for tracks never played.
[[nodiscard]] std::vector<TrackStats> makeTrackStats(const std::vector<Track>& tracks,
                                                     Random& random);

// `count` on-the-go playlists of a few tracks each, as indices into the track list; the damage
// puts the track count into the first one's last entry.
[[nodiscard]] std::vector<std::vector<std::uint32_t>> makeOnTheGoPlaylists(std::uint32_t count,
                                                                           std::uint32_t trackCount,
                                                                           OnTheGoDamage damage,
                                                                           Random& random);

// "0x000A2700" and eight more hexadecimal digits.
[[nodiscard]] std::string makeFirewireGuid(Random& random);

}  // namespace pelmar::player_image
