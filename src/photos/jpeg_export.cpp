#include "photos/jpeg_export.h"

#include <algorithm>
#include <new>
#include <optional>

#include "library/player_library.h"
#include "photos/planar_yuv.h"
#include "photos/stored_jpeg.h"
#include "platform/atomic_file.h"

namespace pelmar {

std::vector<std::uint8_t> pictureJpeg(const std::string& rootPath, const StoredPicture& picture,
                                      const std::function<void(int)>& progress) {
    try {
        if (picture.format != nullptr && pixelLayout(*picture.format) == PixelLayout::Jpeg) {
            std::optional<std::vector<std::uint8_t>> stored = readPictureSlot(rootPath, picture);
            if (!stored) {
                return {};
            }
            stored->resize(storedJpegLength(*stored));
            return std::move(*stored);
        }
        if (picture.format != nullptr &&
            pixelLayout(*picture.format) == PixelLayout::PlanarYuv420) {
            // The planes go to the encoder as they are: converting them to RGB first would only
            // have the encoder convert them back.
            std::optional<std::vector<std::uint8_t>> stored = readPictureSlot(rootPath, picture);
            if (!stored) {
                return {};
            }
            if (progress) {
                progress(0);
            }
            const ThumbnailFormat& format = *picture.format;
            stored->resize(
                std::max<std::size_t>(stored->size(), planarYuvSize(format.width, format.height)));
            return encodePlanarYuvJpeg(*stored, format.width, format.height);
        }
        const std::optional<RgbImage> image = readPicture(rootPath, picture, progress);
        return image ? encodeJpeg(*image) : std::vector<std::uint8_t>{};
    } catch (const std::bad_alloc&) {
        return {};
    }
}

int exportThumbnailJpeg(const ThumbnailFormat* format, const PlayerLibrary& library,
                        std::uint64_t offset, const std::function<void(int)>& progress,
                        const std::string& destination, bool replace) {
    if (format == nullptr) {
        return 0;
    }
    const std::string file = thumbnailFilePath("", format->formatId);
    const std::vector<std::uint8_t> jpeg =
        pictureJpeg(library.rootPath, {format, file, offset, 0}, progress);
    if (jpeg.empty()) {
        return 0;
    }
    AtomicFileWriter writer;
    const bool written = writer.open(destination) && writer.write(jpeg) && writer.commit(replace);
    return written ? 1 : 0;
}

}  // namespace pelmar
