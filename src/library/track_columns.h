#pragma once

#include <string>

#include "library/track_data.h"

namespace pelmar {

class PlayerLibrary;

// The track with every text in UTF-8, converted one field at a time: a library may hold
// code-page texts and UTF-8 texts side by side. An unknown id gives an empty track.
[[nodiscard]] TrackInfo displayTrackInfo(const PlayerLibrary& library, std::uint32_t trackId);

// The texts under which a track is listed, shared by the item list and the command line.

// "Artist - Album - 07 - Title", leaving out an empty artist, an empty album and track number 0.
[[nodiscard]] std::string trackNameText(const TrackInfo& track);
[[nodiscard]] std::string trackTypeText(const TrackInfo& track);
[[nodiscard]] std::string trackSizeText(const TrackInfo& track);        // "1234 KB"
[[nodiscard]] std::string trackLengthText(const TrackInfo& track);      // "3:07"
[[nodiscard]] std::string trackBitrateText(const TrackInfo& track);     // "VBR" or "192 Kbps"
[[nodiscard]] std::string trackRatingText(const TrackInfo& track);      // stars, "0" to "5"
[[nodiscard]] std::string trackLastPlayedText(const TrackInfo& track);  // "" when never played

// The key by which track rows sort: all five parts always present.
[[nodiscard]] std::string trackSortKey(const TrackInfo& track);

}  // namespace pelmar
