#include <cstddef>
#include <cstdint>

#include "library/chunked_bytes.h"
#include "library/compressed_database.h"
#include "library/music_database_reader.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

// Inflates the input as a compressed music database and reads what comes out.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelmar::MemoryByteSource file({data, size});
    pelmar::NullProgressReporter progress;
    const pelmar::InflatedDatabase inflated =
        pelmar::inflateMusicDatabase(file, progress, pelmar::inflationLimit(size));
    pelmar::ChunkedByteSource bytes(inflated.bytes);
    pelmar::PlayerLibrary library;
    (void)pelmar::readMusicDatabase(library, bytes, progress);
    return 0;
}
