#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "player_image/byte_sink.h"
#include "player_image/photo_pictures.h"
#include "player_image/player_image.h"
#include "player_image/record_writer.h"

// The three lists of the photo database, and the records it shares with the artwork database.
// Readers walk them record by record, so each photo's thumbnail references follow its "mhii" and
// each album's name and items follow its "mhba".
namespace pelmar::player_image {

// One stored picture as an "mhod" names it: the container type (2 a stored size, 5 an
// original), then the "mhni" fields, with the file name as its own UTF-16 string child.
struct SlotReference {
    std::uint32_t containerType = 2;
    std::uint32_t formatId = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    PictureFrame frame;    // all zero for a format the writer does not know
    std::string fileName;  // ":Thumbs:F1019_1.ithmb", ":F1060_2.ithmb"
};
void writeSlotReference(ByteSink& sink, ChildWriter& children, const SlotReference& reference);

struct FormatListing {
    std::uint32_t formatId = 0;
    std::uint32_t slotSize = 0;
};

// "mhli", then per photo an "mhii" with its original's "mhod" of type 5 if it has one, then one
// "mhod" of type 2 per thumbnail.
void writeImageList(ByteSink& sink, const std::vector<Photo>& photos, ChildWriter& children);

// "mhla", then per album an "mhba" (type 1 for the master, 2 for the others), its name object
// (type 1, UTF-8) unless it has none, and one "mhia" per photo.
void writePhotoAlbumList(ByteSink& sink, const std::vector<PhotoAlbum>& albums,
                         ChildWriter& children);

// "mhlf", then one "mhif" per format: format id and slot size.
void writeThumbnailFormatList(ByteSink& sink, const std::vector<FormatListing>& formats);

}  // namespace pelmar::player_image
