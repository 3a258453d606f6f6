#include "library/artwork_catalog.h"

#include "library/track_data.h"

namespace pelmar {

std::uint32_t ArtworkCatalog::addFile(const std::string& path) {
    const auto [it, added] =
        fileIndex_.try_emplace(path, static_cast<std::uint32_t>(files_.size()));
    if (added) {
        files_.push_back(path);
    }
    return it->second;
}

void ArtworkCatalog::reserve(std::size_t images, std::size_t picturesEach) {
    images_.reserve(images);
    pictures_.reserve(images * picturesEach);
    byId_.reserve(images);
    byTrack_.reserve(images);
}

void ArtworkCatalog::addImage(std::uint32_t imageId, std::uint64_t trackDatabaseId,
                              std::span<const ArtworkPicture> pictures) {
    const auto index = static_cast<std::uint32_t>(images_.size());
    images_.push_back({static_cast<std::uint32_t>(pictures_.size()),
                       static_cast<std::uint32_t>(pictures.size())});
    pictures_.insert(pictures_.end(), pictures.begin(), pictures.end());
    const auto [it, added] = byId_.try_emplace(imageId, index);
    if (!added) {
        // The replaced image's pictures are unreachable now; let the next removal drop them.
        images_[it->second].pictureCount = 0;
        it->second = index;
    }
    if (trackDatabaseId != 0) {
        byTrack_.try_emplace(trackDatabaseId, imageId);
    }
}

void ArtworkCatalog::removePictures(const std::function<bool(const ArtworkPicture&)>& unusable) {
    std::vector<ArtworkPicture> kept;
    kept.reserve(pictures_.size());
    for (Image& image : images_) {
        const auto first = static_cast<std::uint32_t>(kept.size());
        for (std::uint32_t at = image.firstPicture; at < image.firstPicture + image.pictureCount;
             ++at) {
            if (!unusable(pictures_[at])) {
                kept.push_back(pictures_[at]);
            }
        }
        image.firstPicture = first;
        image.pictureCount = static_cast<std::uint32_t>(kept.size()) - first;
    }
    pictures_ = std::move(kept);
}

std::optional<std::uint32_t> ArtworkCatalog::imageOf(const MhTrackData& track) const {
    if (!track.hasArtwork) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> imageId;
    if (track.artworkId != 0 && byId_.contains(track.artworkId)) {
        imageId = track.artworkId;
    } else if (const auto it = byTrack_.find(track.databaseId);
               track.databaseId != 0 && it != byTrack_.end()) {
        imageId = it->second;
    }
    if (!imageId || pictures(*imageId).empty()) {
        return std::nullopt;
    }
    return imageId;
}

std::span<const ArtworkPicture> ArtworkCatalog::pictures(std::uint32_t imageId) const {
    const auto it = byId_.find(imageId);
    if (it == byId_.end()) {
        return {};
    }
    const Image& image = images_[it->second];
    return std::span<const ArtworkPicture>(pictures_).subspan(image.firstPicture,
                                                              image.pictureCount);
}

const ArtworkPicture* ArtworkCatalog::largestPicture(std::uint32_t imageId) const {
    const ArtworkPicture* best = nullptr;
    for (const ArtworkPicture& picture : pictures(imageId)) {
        if (best == nullptr || makesLargerPicture(*picture.format, *best->format)) {
            best = &picture;
        }
    }
    return best;
}

const ArtworkPicture* ArtworkCatalog::listPicture(std::uint32_t imageId) const {
    const ArtworkPicture* best = nullptr;
    for (const ArtworkPicture& picture : pictures(imageId)) {
        if (best == nullptr || picture.format->listRank < best->format->listRank) {
            best = &picture;
        }
    }
    return best;
}

}  // namespace pelmar
