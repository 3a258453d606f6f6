#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "photos/jpeg_export.h"
#include "photos/thumbnail_decoder.h"
#include "photos/thumbnail_format.h"

// The first four bytes choose the format (an id the table lacks picks a row by its remainder);
// the rest is decoded as one thumbnail, whose first rows are then encoded as a JPEG in memory.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::uint32_t formatId =
        data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
    const auto table = pelmar::thumbnailFormatTable();
    const pelmar::ThumbnailFormat* format = pelmar::findThumbnailFormat(formatId);
    if (format == nullptr) {
        format = &table[formatId % table.size()];
    }
    pelmar::RgbImage image = pelmar::decodeThumbnail(*format, {data + 4, size - 4}, [](int) {});
    image.height = std::min<std::uint32_t>(image.height, 16);
    image.pixels.resize(std::size_t{image.width} * image.height * 3);
    (void)pelmar::encodeJpeg(image);
    return 0;
}
