#include <cstddef>
#include <cstdint>
#include <vector>

#include "photos/stored_jpeg.h"
#include "photos/thumbnail_decoder.h"
#include "photos/thumbnail_format.h"

// The first byte picks one of the later players' formats and the next four state its slot size;
// the rest is decoded as that slot, and handed to the JPEG path as a stored stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    std::vector<const pelmar::ThumbnailFormat*> later;
    for (const pelmar::ThumbnailFormat& format : pelmar::thumbnailFormatTable()) {
        if (format.slotSizeFromDatabase) {
            later.push_back(&format);
        }
    }
    const pelmar::ThumbnailFormat& format = *later[data[0] % later.size()];
    const std::uint32_t stated =
        data[1] | data[2] << 8 | data[3] << 16 | std::uint32_t{data[4]} << 24;
    const std::span<const std::uint8_t> slot(data + 5, size - 5);
    (void)pelmar::decodePicture(format, stated, slot, [](int) {});
    if (const std::size_t length = pelmar::storedJpegLength(slot); length > 0) {
        (void)pelmar::decodeJpegStream(slot.first(length), 640 * 480);
    }
    return 0;
}
