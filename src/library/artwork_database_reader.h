#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "library/read_outcome.h"

namespace pelmar {

class ArtworkCatalog;
class ByteSource;
class PlayerLibrary;
class ProgressReporter;

inline constexpr std::string_view kArtworkDatabasePath = "iPod_Control/Artwork/ArtworkDB";
// The folder the database's file names are relative to.
inline constexpr std::string_view kArtworkFolder = "iPod_Control/Artwork";

// Reads the images of an artwork database and their stored pictures into `catalog`, in one
// forward pass. Pictures in a format the program does not know, or naming no usable file, are
// left out.
ReadOutcome readArtworkDatabase(ArtworkCatalog& catalog, ByteSource& source,
                                ProgressReporter& progress);

// Drops the pictures whose file is not on the player under `rootPath` or does not hold the
// picture's whole slot.
void keepReadablePictures(ArtworkCatalog& catalog, const std::string& rootPath);

// Reads the player's artwork database under the library's root into library.artwork, keeping
// only the pictures that can be read. A database that cannot be opened leaves the catalog empty
// and gives no outcome.
std::optional<ReadOutcome> readArtwork(PlayerLibrary& library, ProgressReporter& progress);

}  // namespace pelmar
