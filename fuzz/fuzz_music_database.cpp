#include <cstddef>
#include <cstdint>

#include "library/library_indices.h"
#include "library/music_database_reader.h"
#include "library/player_library.h"
#include "library/playlists.h"
#include "library/track_search.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

// Reads the input as a music database under a UTF-8 and a single-byte code page, then builds
// everything a connect builds from it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const pelmar::TextCodec utf8("UTF-8");
    static const pelmar::TextCodec western("CP1252");
    for (const pelmar::TextCodec* codec : {&utf8, &western}) {
        pelmar::PlayerLibrary library(*codec);
        pelmar::MemoryByteSource source({data, size});
        pelmar::NullProgressReporter progress;
        (void)pelmar::readMusicDatabase(library, source, progress);
        pelmar::completePlaylistNames(library);
        pelmar::buildIndices(library);
        pelmar::sortPlaylists(library);
        (void)pelmar::searchTracks(library, "e");
    }
    return 0;
}
