#pragma once

#include <cstdint>
#include <string>

#include "library/image_data.h"
#include "photos/thumbnail_format.h"

namespace pelmar {

// One of a photo's thumbnails: its format's table row and where it lies in that format's file.
struct ChosenThumbnail {
    const ThumbnailFormat* format = nullptr;  // null: no usable thumbnail
    std::uint32_t offset = 0;
};

// The thumbnails the program shows or saves for one photo, chosen among the slots whose format
// it knows and whose thumbnail file is on the player. On every tie the earlier slot wins.
struct ThumbnailChoice {
    ChosenThumbnail forList;    // the lowest listRank: the album list's card
    ChosenThumbnail forExport;  // the most pixels, the largest picture: backup and preview
    const ThumbnailFormat* widest = nullptr;  // the greatest width, quoted as the dimensions
};

// Looks each known format's thumbnail file up under `rootPath` (ignoring case, as copies of a
// player may differ). Every member stays empty when no slot qualifies.
[[nodiscard]] ThumbnailChoice chooseThumbnails(const ImageData& image, const std::string& rootPath);

}  // namespace pelmar
