#include <cstddef>
#include <cstdint>

#include "library/photo_database_reader.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

// Reads the input as a photo database, then sorts its albums and walks every album's photos.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelmar::PlayerLibrary library;
    pelmar::MemoryByteSource source({data, size});
    pelmar::NullProgressReporter progress;
    (void)pelmar::readPhotoDatabase(library, source, progress);
    pelmar::sortPhotoAlbums(library);
    pelmar::KernelId album;
    for (int more = library.firstSortedPhotoAlbum(album); more != 0;
         more = library.nextSortedPhotoAlbum(album)) {
        pelmar::KernelId item;
        for (int found = library.firstPhotoAlbumItem(album, item); found != 0;
             found = library.nextPhotoAlbumItem(album, item)) {
        }
    }
    return 0;
}
