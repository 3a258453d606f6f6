#pragma once

#include <filesystem>
#include <string>

#include "player_image/player_image.h"

namespace pelmar::player_image {

// The SQLite databases, the on-the-go playlists, SysInfo and the artwork, each written afresh
// or, where the image has none, removed. Returns false with a message on failure.
bool writeLaterFiles(const PlayerImage& image, const std::filesystem::path& root,
                     const Options& options, std::string& error);

}  // namespace pelmar::player_image
