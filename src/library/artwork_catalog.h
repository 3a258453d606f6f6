#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "photos/thumbnail_format.h"

namespace pelmar {

struct MhTrackData;

// One stored size of an artwork image: where its slot lies, and where the picture lies inside
// the slot (the rest is padding).
struct ArtworkPicture {
    const ThumbnailFormat* format = nullptr;  // never null in a catalog
    std::uint32_t offset = 0;
    std::uint32_t statedSize = 0;  // the slot size the database states
    std::uint16_t top = 0;
    std::uint16_t left = 0;
    std::uint16_t height = 0;
    std::uint16_t width = 0;
    std::uint32_t file = 0;  // ArtworkCatalog::filePath gives its path
};

// The album artwork a player holds: its images, each with the sizes stored of it, and the files
// the pictures lie in. Tracks of one album usually share one image.
class ArtworkCatalog {
  public:
    // The index of a file below the player's root, added when it is new.
    std::uint32_t addFile(const std::string& path);
    // Makes room for `images` images of `picturesEach` pictures, so that a large database is not
    // moved about as it grows.
    void reserve(std::size_t images, std::size_t picturesEach);
    // Adds an image; a later image with an id already present replaces the earlier one.
    void addImage(std::uint32_t imageId, std::uint64_t trackDatabaseId,
                  std::span<const ArtworkPicture> pictures);
    // Removes the pictures for which `unusable` is true; their images stay, perhaps empty.
    void removePictures(const std::function<bool(const ArtworkPicture&)>& unusable);

    // The image a track shows: the one its record names, or failing that the one that names the
    // track; nothing when the record says it has no artwork or the image has no picture left.
    [[nodiscard]] std::optional<std::uint32_t> imageOf(const MhTrackData& track) const;
    [[nodiscard]] bool hasArtwork(const MhTrackData& track) const {
        return imageOf(track).has_value();
    }
    // The image's pictures in database order; empty for an unknown id.
    [[nodiscard]] std::span<const ArtworkPicture> pictures(std::uint32_t imageId) const;
    // The picture with the most pixels (on a tie, the lower export rank, then the earlier): for
    // saving and for a large cover. Null when the image has none.
    [[nodiscard]] const ArtworkPicture* largestPicture(std::uint32_t imageId) const;
    // The picture of the lowest list rank (on a tie, the earlier): for small covers in lists.
    // Null when the image has none.
    [[nodiscard]] const ArtworkPicture* listPicture(std::uint32_t imageId) const;

    // A picture's file, below the player's root.
    [[nodiscard]] const std::string& filePath(std::uint32_t file) const { return files_.at(file); }
    [[nodiscard]] std::size_t fileCount() const { return files_.size(); }
    [[nodiscard]] std::size_t imageCount() const { return byId_.size(); }

  private:
    struct Image {
        std::uint32_t firstPicture = 0;
        std::uint32_t pictureCount = 0;
    };

    std::vector<Image> images_;
    std::vector<ArtworkPicture> pictures_;
    std::unordered_map<std::uint32_t, std::uint32_t> byId_;  // image id → index in images_
    // Track database id → the first image naming it.
    std::unordered_map<std::uint64_t, std::uint32_t> byTrack_;
    std::vector<std::string> files_;
    std::unordered_map<std::string, std::uint32_t> fileIndex_;
};

}  // namespace pelmar
