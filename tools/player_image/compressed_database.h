#pragma once

#include <cstdint>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"

namespace pelmar::player_image {

// Writes iTunesCDB, streaming: the database is serialised twice, once to learn every record
// length and once to compress, so that a 170 MB database never sits in memory. Returns how many
// of the bytes written the file keeps: all of them unless the damage truncates it.
[[nodiscard]] std::uint64_t writeCompressedDatabase(
    ByteSink& sink, const PlayerImage& image, CompressedDamage damage,
    std::uint64_t bombInflatedSize = kBombInflatedSize);

}  // namespace pelmar::player_image
