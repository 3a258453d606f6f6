#include "player_image/thumbnails.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "player_image/pixel_encoding.h"
#include "player_image/thumbnail_formats.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The interlaced format stores the even display lines first, then the odd ones.
std::uint32_t displayLine(std::uint32_t storedRow, std::uint32_t height) {
    const std::uint32_t half = height / 2;
    return storedRow < half ? 2 * storedRow : 2 * (storedRow - half) + 1;
}

void drawRgb(const Photo& photo, const ThumbnailFormat& format, Bytes& out) {
    std::size_t at = 0;
    for (std::uint32_t y = 0; y < format.height; ++y) {
        for (std::uint32_t x = 0; x < format.width; ++x) {
            const std::uint16_t pixel =
                packRgb565(intendedColour(photo, format.width, format.height, x, y));
            const auto high = static_cast<std::uint8_t>(pixel >> 8);
            const auto low = static_cast<std::uint8_t>(pixel);
            out[at++] = format.bigEndian ? high : low;
            out[at++] = format.bigEndian ? low : high;
        }
    }
}

void drawInterlacedYuv(const Photo& photo, const ThumbnailFormat& format, Bytes& out) {
    std::size_t at = 0;
    for (std::uint32_t row = 0; row < format.height; ++row) {
        const std::uint32_t line = displayLine(row, format.height);
        for (std::uint32_t x = 0; x + 1 < format.width; x += 2) {
            const YuvPair pair =
                packYuvPair(intendedColour(photo, format.width, format.height, x, line),
                            intendedColour(photo, format.width, format.height, x + 1, line));
            out[at++] = pair.u;
            out[at++] = pair.y0;
            out[at++] = pair.v;
            out[at++] = pair.y1;
        }
    }
}

void drawThumbnail(const Photo& photo, const ThumbnailFormat& format, Bytes& out) {
    out.assign(format.byteSize(), 0);
    if (format.interlacedYuv) {
        drawInterlacedYuv(photo, format, out);
    } else {
        drawRgb(photo, format, out);
    }
}

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
    Bytes thumbnail;
    for (const auto& [offset, photo] : thumbnailsByOffset(image, formatId)) {
        const std::uint64_t written = sink.size() - start;
        if (offset < written) {
            throw std::invalid_argument("thumbnails in format " + std::to_string(formatId) +
                                        " overlap at offset " + std::to_string(offset));
        }
        if (offset > written) {
            thumbnail.assign(offset - written, 0);
            sink.append(thumbnail);
        }
        drawThumbnail(*photo, format, thumbnail);
        sink.append(thumbnail);
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

Rgb decodedColour(const Photo& photo, std::uint32_t formatId, std::uint32_t x, std::uint32_t y) {
    const ThumbnailFormat& format = formatOf(formatId);
    if (!format.interlacedYuv) {
        return unpackRgb565(packRgb565(intendedColour(photo, format.width, format.height, x, y)));
    }
    const std::uint32_t left = x & ~1U;
    const YuvPair pair =
        packYuvPair(intendedColour(photo, format.width, format.height, left, y),
                    intendedColour(photo, format.width, format.height, left + 1, y));
    return unpackYuv(x == left ? pair.y0 : pair.y1, pair.u, pair.v);
}

}  // namespace pelmar::player_image
