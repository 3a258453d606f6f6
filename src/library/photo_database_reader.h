#pragma once

#include <optional>

#include "library/music_database_reader.h"

namespace pelmar {

class ByteSource;
class PlayerLibrary;
class ProgressReporter;

// Name given to the first album of a database, the one that lists every photo.
inline constexpr const char* kAllPhotosAlbumName = "(All Photos)";

// Reads photos, their thumbnail references and the photo albums into the library. The images
// must come before the albums: thumbnail references are taken only until the first album.
ReadOutcome readPhotoDatabase(PlayerLibrary& library, ByteSource& source,
                              ProgressReporter& progress);

// Reads the player's photo database under the library's root. A database that cannot be opened
// reads nothing and gives no outcome.
std::optional<ReadOutcome> readPhotos(PlayerLibrary& library, ProgressReporter& progress);

// Rebuilds the photo album ids sorted by name in byte order.
void sortPhotoAlbums(PlayerLibrary& library);

}  // namespace pelmar
