#pragma once

#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// A track before it has an id and a place on the player.
struct TrackDraft {
    Track track;
    std::string extension;  // with its dot, exactly as in the file name; may be empty
    bool highId = false;    // give it an id with the top bit set
};

}  // namespace pelmar::player_image
