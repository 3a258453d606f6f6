#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "backup/tag_writer.h"
#include "util/unique_fd.h"

// Tags the input as a copied track, held in memory, with values that touch every field.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const pelmar::TrackTags values = [] {
        pelmar::TrackTags v;
        v.rating = 70;
        v.playCount = 4;
        v.title = v.artist = v.album = v.genre = v.composer = "Fuzz \xC3\xA4";
        v.trackNumber = 3;
        v.year = 1999;
        v.artworkJpeg = {0xFF, 0xD8, 0xFF, 0xD9};
        return v;
    }();
    const pelmar::UniqueFd fd(::memfd_create("track", MFD_CLOEXEC));
    if (fd && ::write(fd.get(), data, size) == static_cast<ssize_t>(size)) {
        (void)pelmar::writeTrackTags(fd.get(), "track.mp3", values);
    }
    return 0;
}
