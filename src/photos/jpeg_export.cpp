#include "photos/jpeg_export.h"

#include <new>
#include <optional>

#include "library/player_library.h"
#include "photos/thumbnail_decoder.h"
#include "platform/atomic_file.h"

namespace pelmar {

int exportThumbnailJpeg(const ThumbnailFormat* format, const PlayerLibrary& library,
                        std::uint64_t offset, const std::function<void(int)>& progress,
                        const std::string& destination, bool replace) {
    if (format == nullptr) {
        return 0;
    }
    try {
        const std::optional<RgbImage> image =
            readThumbnail(library.rootPath, *format, offset, progress);
        if (!image) {
            return 0;
        }
        const std::vector<std::uint8_t> jpeg = encodeJpeg(*image);
        if (jpeg.empty()) {
            return 0;
        }
        AtomicFileWriter writer;
        const bool written =
            writer.open(destination) && writer.write(jpeg) && writer.commit(replace);
        return written ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace pelmar
