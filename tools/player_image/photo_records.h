#pragma once

#include <cstdint>
#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

// The three lists of the photo database. Readers walk them record by record, so each photo's
// thumbnail references follow its "mhii" and each album's name and items follow its "mhba".
namespace pelmar::player_image {

// "mhli", then per photo an "mhii" with one "mhod" of type 2 per thumbnail, whose body is the
// "mhni" naming format, offset and size, with the thumbnail file's name as its own child.
void writeImageList(ByteSink& sink, const std::vector<Photo>& photos, ChildWriter& children);

// "mhla", then per album an "mhba" (type 1 for the master, 2 for the others), its name object
// (type 1, UTF-8) unless it has none, and one "mhia" per photo.
void writePhotoAlbumList(ByteSink& sink, const std::vector<PhotoAlbum>& albums,
                         ChildWriter& children);

// "mhlf", then one "mhif" per format: format id and thumbnail byte size.
void writeThumbnailFormatList(ByteSink& sink, const std::vector<std::uint32_t>& formatIds);

}  // namespace pelmar::player_image
