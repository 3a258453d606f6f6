#include "backup/album_cover_jpegs.h"

#include <algorithm>

#include "library/player_library.h"
#include "photos/artwork_pictures.h"

namespace pelmar {

AlbumCoverJpegs::Cover AlbumCoverJpegs::coverOf(std::uint32_t trackId) {
    const MhTrackData* track = library_.findTrack(trackId);
    if (track == nullptr) {
        return {};
    }
    const std::optional<std::uint32_t> imageId = library_.artwork.imageOf(*track);
    if (!imageId) {
        return {};
    }
    auto kept = std::find_if(kept_.begin(), kept_.end(),
                             [&](const Entry& entry) { return entry.imageId == *imageId; });
    if (kept == kept_.end()) {
        Entry entry{*imageId, {}};
        if (const ArtworkPicture* picture = library_.artwork.largestPicture(*imageId)) {
            entry.jpeg = artworkPictureJpeg(library_.rootPath, library_.artwork, *picture);
        }
        if (kept_.size() < kKept) {
            kept = kept_.insert(kept_.end(), std::move(entry));
        } else {
            kept = kept_.begin() + static_cast<std::ptrdiff_t>(nextToReplace_);
            *kept = std::move(entry);
            nextToReplace_ = (nextToReplace_ + 1) % kKept;
        }
    }
    return {*imageId, kept->jpeg.empty() ? nullptr : &kept->jpeg};
}

}  // namespace pelmar
