#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/artwork_catalog.h"
#include "photos/rgb_image.h"

namespace pelmar {

// The artwork picture from its file under `rootPath`, decoded and cut to the picture inside
// its slot's padding; the whole slot where the database's frame does not fit inside it. Nothing
// when it cannot be read.
[[nodiscard]] std::optional<RgbImage> readArtworkPicture(const std::string& rootPath,
                                                         const ArtworkCatalog& catalog,
                                                         const ArtworkPicture& picture);

// readArtworkPicture as the contents of a JPEG file; a picture the player stores as JPEG, its
// stream unchanged. Empty when the picture cannot be read or
// the encoder fails.
[[nodiscard]] std::vector<std::uint8_t> artworkPictureJpeg(const std::string& rootPath,
                                                           const ArtworkCatalog& catalog,
                                                           const ArtworkPicture& picture);

}  // namespace pelmar
