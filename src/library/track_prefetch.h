#pragma once

#include "library/track_data.h"

namespace pelmar {

// Tracks are looked at one after the other across records that lie far apart in memory; passes
// over them ask for the tag fields of a record a few tracks ahead while working on this one.
inline constexpr std::size_t kTrackPrefetchDistance = 4;

inline void prefetchTags(const MhTrackData& track) {
    __builtin_prefetch(&track.artist);
    __builtin_prefetch(&track.title);
    __builtin_prefetch(&track.composer);
}

}  // namespace pelmar
