#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "photos/rgb_image.h"
#include "photos/thumbnail_format.h"

namespace pelmar {

// Decodes one thumbnail into the picture the player's screen shows: width × height pixels, the
// interlaced format's two fields woven into one frame. Only the format's byteSize bytes are used;
// missing ones count as zero. `progress` (may be empty) is told how far the decoding has come, in
// whole tens of percent from 0 to 90, each at most once.
[[nodiscard]] RgbImage decodeThumbnail(const ThumbnailFormat& format,
                                       std::span<const std::uint8_t> bytes,
                                       const std::function<void(int)>& progress = {});

// Reads and decodes the thumbnail at `offset` in the format's thumbnail file under `rootPath`.
// Nothing when the file cannot be opened or read, or when the offset lies at or past its end; a
// thumbnail cut short by the end of the file is decoded with the rest zero-filled.
[[nodiscard]] std::optional<RgbImage> readThumbnail(const std::string& rootPath,
                                                    const ThumbnailFormat& format,
                                                    std::uint64_t offset,
                                                    const std::function<void(int)>& progress = {});

}  // namespace pelmar
