#pragma once

#include "cli/library_listing.h"

namespace pelmar::cli {

// Photos in ascending order of id, with their times and thumbnails.
void printPhotos(OutputBuffer& out, const PlayerLibrary& library, Format format);

// Photo albums in byte order of their names, with their photos in album order.
void printPhotoAlbums(OutputBuffer& out, PlayerLibrary& library, Format format);

}  // namespace pelmar::cli
