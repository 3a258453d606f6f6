#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image {

inline constexpr std::uint32_t kTelevisionFormat = 1019;
// A format of newer players that the program's first table lacks; the mixed image carries it
// all the same, as those players have it.
inline constexpr std::uint32_t kUnknownFormat = 1066;

// Every format the writer writes, television format first, then the program's table, then the
// formats of later players.
[[nodiscard]] std::span<const ThumbnailFormat> writtenFormats();

// Throws std::invalid_argument for a format the writer does not write.
[[nodiscard]] const ThumbnailFormat& formatOf(std::uint32_t formatId);

// "F1019_1.ithmb": the file name, the same on the player's disk and in the database.
[[nodiscard]] std::string thumbnailFileName(std::uint32_t formatId);

}  // namespace pelmar::player_image
