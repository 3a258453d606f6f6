#pragma once

#include <cstdint>
#include <vector>

namespace pelmar {

class PlayerLibrary;

// The JPEG of a track's cover (its largest artwork picture), made once per image for a run: the
// tracks of an album share one image, and the cover files and the copies' tags both want it.
// Only the last few images are kept, so a run over many albums holds little memory.
class AlbumCoverJpegs {
  public:
    explicit AlbumCoverJpegs(const PlayerLibrary& library) : library_(library) {}

    struct Cover {
        std::uint32_t imageId = 0;
        const std::vector<std::uint8_t>* jpeg = nullptr;  // valid until the next call
    };

    // The track's image and its JPEG; a null JPEG when the track has no artwork or its picture
    // cannot be read.
    [[nodiscard]] Cover coverOf(std::uint32_t trackId);

  private:
    struct Entry {
        std::uint32_t imageId = 0;
        std::vector<std::uint8_t> jpeg;  // empty: the picture could not be read
    };
    static constexpr std::size_t kKept = 8;

    const PlayerLibrary& library_;
    std::vector<Entry> kept_;
    std::size_t nextToReplace_ = 0;
};

}  // namespace pelmar
