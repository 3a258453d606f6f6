#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "player_image/player_image.h"
#include "player_image/random.h"

namespace pelmar::player_image {

// The size of a slot in kUnknownArtworkFormat, which no format table describes.
inline constexpr std::uint32_t kUnknownArtworkSlotSize = 4096;

// The artwork of the tracks, setting each track's +352 and +164. Most albums share one image,
// named by +352; some have none; some (every album on players whose track headers stop before
// +352) have one image per track, found through +20; the first three albums are one of each. Tracks
// without an album have none. Slots follow image order in each format's files, a new file begun
// before one would pass `fileLimit`.
[[nodiscard]] std::vector<ArtworkImage> makeArtwork(std::vector<Track>& tracks,
                                                    std::span<const std::uint32_t> formats,
                                                    std::uint64_t fileLimit, ArtworkDamage damage,
                                                    Random& random);

// Every (format id, file number) some slot names, formats in the order the images list them.
[[nodiscard]] std::vector<std::pair<std::uint32_t, std::uint32_t>> artworkFilesInUse(
    const PlayerImage& image);

// "F1060_2.ithmb"
[[nodiscard]] std::string artworkFileName(std::uint32_t formatId, std::uint32_t fileNumber);

}  // namespace pelmar::player_image
