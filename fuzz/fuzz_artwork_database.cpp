#include <cstddef>
#include <cstdint>

#include "library/artwork_catalog.h"
#include "library/artwork_database_reader.h"
#include "library/track_data.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

// Reads the input as an artwork database, drops some pictures, and asks for the images that the
// input's first words name, as tracks would.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelmar::ArtworkCatalog catalog;
    pelmar::MemoryByteSource source({data, size});
    pelmar::NullProgressReporter progress;
    (void)pelmar::readArtworkDatabase(catalog, source, progress);
    catalog.removePictures([](const pelmar::ArtworkPicture& p) { return p.offset % 3 == 0; });
    for (std::size_t at = 0; at + 8 <= size && at < 64; at += 8) {
        pelmar::MhTrackData track;
        track.hasArtwork = true;
        track.artworkId = data[at] | data[at + 1] << 8 | data[at + 2] << 16 | data[at + 3] << 24;
        track.databaseId = track.artworkId ^ data[at + 4];
        if (const auto image = catalog.imageOf(track)) {
            (void)catalog.filePath(catalog.largestPicture(*image)->file);
            (void)catalog.listPicture(*image);
        }
    }
    return 0;
}
