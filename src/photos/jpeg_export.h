#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "photos/rgb_image.h"
#include "photos/thumbnail_decoder.h"
#include "photos/thumbnail_format.h"

namespace pelmar {

class PlayerLibrary;

// High enough that solid areas and the thumbnails' 8-level colour steps come through unchanged
// to the eye; the pictures are small, so the larger files cost little.
inline constexpr int kJpegQuality = 90;

// Whether the JPEG encoder can be set up at all; when it cannot, no photo can be exported.
[[nodiscard]] bool jpegEncoderAvailable();

// The image as a baseline JPEG file, colours unchanged, chroma at full resolution. Empty when
// the image is empty or inconsistent, or the encoder fails.
[[nodiscard]] std::vector<std::uint8_t> encodeJpeg(const RgbImage& image);

// A planar 4:2:0 picture of width × height (see decodePlanarYuv) as a baseline JPEG file of the
// same planes, the colours decodePicture gives them within a level or two, the chroma at the
// half resolution it has. Empty when the planes are too short or the encoder fails.
[[nodiscard]] std::vector<std::uint8_t> encodePlanarYuvJpeg(std::span<const std::uint8_t> planes,
                                                            std::uint32_t width,
                                                            std::uint32_t height);

// The picture as the contents of a JPEG file: a JPEG format's stored stream up to and including its
// end marker, unchanged; a planar YUV format's planes encoded as they are; any other format
// decoded and encoded. Empty when the picture cannot be
// read, holds no complete JPEG stream, or the encoder fails. `progress` as for decodePicture.
[[nodiscard]] std::vector<std::uint8_t> pictureJpeg(const std::string& rootPath,
                                                    const StoredPicture& picture,
                                                    const std::function<void(int)>& progress = {});

// Writes the thumbnail at `offset` of `format`'s thumbnail file under the library's root as a
// JPEG file at `destination`, showing the colours the player's screen shows (as pictureJpeg does).
// `progress` (may be empty) gets 0, 10, …, 90 while the pixels are decoded. The file appears only
// once complete: 1 when it was written, else 0 with nothing left behind. An existing destination is
// replaced only when `replace` is true; otherwise it is never touched and the result is 0. A null
// format gives 0 at once.
[[nodiscard]] int exportThumbnailJpeg(const ThumbnailFormat* format, const PlayerLibrary& library,
                                      std::uint64_t offset,
                                      const std::function<void(int)>& progress,
                                      const std::string& destination, bool replace);

}  // namespace pelmar
