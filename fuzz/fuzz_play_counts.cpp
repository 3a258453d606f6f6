#include <cstddef>
#include <cstdint>

#include "library/play_count_reader.h"
#include "library/player_library.h"
#include "util/byte_source.h"
#include "util/progress_reporter.h"

// Merges the input as a play-count file into a library of a few tracks, one id without a record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pelmar::PlayerLibrary library;
    for (std::uint32_t id = 1; id <= 5; ++id) {
        library.trackIds.push_back(id);
        if (id != 3) {
            library.tracks.emplace(id, pelmar::MhTrackData{});
        }
    }
    pelmar::MemoryByteSource source({data, size});
    pelmar::NullProgressReporter progress;
    (void)pelmar::mergePlayCountData(library, source, progress);
    return 0;
}
