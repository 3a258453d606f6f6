#pragma once

#include <span>
#include <string>
#include <string_view>

#include "player_image/random.h"

// Made-up names for ordinary libraries: enough variety for thousands of distinct artists and
// albums, with some non-Latin and accented names mixed in as real collections have them.
namespace pelmar::player_image {

[[nodiscard]] std::span<const std::string_view> musicGenres();

[[nodiscard]] std::string personName(Random& random);
[[nodiscard]] std::string bandName(Random& random);
// Japanese, Cyrillic or Greek.
[[nodiscard]] std::string foreignArtistName(Random& random);
[[nodiscard]] std::string foreignTitle(Random& random);

[[nodiscard]] std::string songTitle(Random& random);
[[nodiscard]] std::string albumTitle(Random& random);
[[nodiscard]] std::string showTitle(Random& random);
[[nodiscard]] std::string bookTitle(Random& random);
[[nodiscard]] std::string episodeTitle(Random& random, std::uint32_t number);
[[nodiscard]] std::string episodeDescription(Random& random);
[[nodiscard]] std::string trackComment(Random& random);
[[nodiscard]] std::string playlistName(Random& random);
// The master playlist carries the player's name.
[[nodiscard]] std::string playerName(Random& random);

// Lower-case, with "-" for anything but letters and digits: for podcast addresses.
[[nodiscard]] std::string urlSlug(std::string_view text);

}  // namespace pelmar::player_image
