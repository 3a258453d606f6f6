#include "player_image/thumbnails.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "player_image/picture_drawing.h"
#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The photos with a thumbnail in the format, by offset.
std::vector<std::pair<std::uint32_t, const Photo*>> thumbnailsByOffset(const PlayerImage& image,
                                                                       std::uint32_t formatId) {
    std::vector<std::pair<std::uint32_t, const Photo*>> placed;
    for (const Photo& photo : image.photos) {
        for (const ThumbnailRef& ref : photo.thumbnails) {
            if (ref.formatId == formatId) {
                placed.emplace_back(ref.offset, &photo);
            }
        }
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return placed;
}

}  // namespace

void writeThumbnailFile(ByteSink& sink, const PlayerImage& image, std::uint32_t formatId) {
    const ThumbnailFormat& format = formatOf(formatId);
    const std::uint64_t start = sink.size();
    SlotCache slots;
    Bytes gap;
    for (const auto& [offset, photo] : thumbnailsByOffset(image, formatId)) {
        const std::uint64_t written = sink.size() - start;
        if (offset < written) {
            throw std::invalid_argument("thumbnails in format " + std::to_string(formatId) +
                                        " overlap at offset " + std::to_string(offset));
        }
        if (offset > written) {
            gap.assign(offset - written, 0);
            sink.append(gap);
        }
        sink.append(slots.slot(photo->picture, format));
    }
}

std::vector<std::uint8_t> thumbnailFileBytes(const PlayerImage& image, std::uint32_t formatId) {
    MemorySink sink;
    writeThumbnailFile(sink, image, formatId);
    return sink.take();
}

std::vector<std::uint32_t> formatsInUse(const PlayerImage& image) {
    std::vector<std::uint32_t> used;
    for (const ThumbnailFormat& format : writtenFormats()) {
        const bool present =
            std::any_of(image.photos.begin(), image.photos.end(), [&](const Photo& photo) {
                return std::any_of(
                    photo.thumbnails.begin(), photo.thumbnails.end(),
                    [&](const ThumbnailRef& ref) { return ref.formatId == format.formatId; });
            });
        if (present) {
            used.push_back(format.formatId);
        }
    }
    return used;
}

}  // namespace pelmar::player_image
