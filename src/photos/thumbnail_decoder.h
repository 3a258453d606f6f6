#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// decodeThumbnail for a slot whose size the database states as `statedSize` (0: none stated),
// which formats of later players use (see slotSize). A JPEG picture comes out at its own size,
// and as an empty image when it does not decode.
[[nodiscard]] RgbImage decodePicture(const ThumbnailFormat& format, std::uint32_t statedSize,
                                     std::span<const std::uint8_t> bytes,
                                     const std::function<void(int)>& progress = {});

// One picture as it lies on the player.
struct StoredPicture {
    const ThumbnailFormat* format = nullptr;
    std::string_view file;  // below the player's root, "/"-separated
    std::uint64_t offset = 0;
    std::uint32_t statedSize = 0;  // the database's slot size; 0 for none
};

// Reads the picture's slot: slotSize bytes from its offset, fewer where the file ends. Nothing
// when the format is null, the file cannot be opened or read, or the offset lies at or past its
// end.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> readPictureSlot(
    const std::string& rootPath, const StoredPicture& picture);

// Reads and decodes the picture under `rootPath`, as readPictureSlot and decodePicture do; a
// picture cut short by the end of its file is decoded with the rest zero-filled. Nothing where
// readPictureSlot gives nothing or a JPEG picture does not decode.
[[nodiscard]] std::optional<RgbImage> readPicture(const std::string& rootPath,
                                                  const StoredPicture& picture,
                                                  const std::function<void(int)>& progress = {});

// Reads and decodes the thumbnail at `offset` in the format's thumbnail file under `rootPath`.
// Nothing when the file cannot be opened or read, or when the offset lies at or past its end; a
// thumbnail cut short by the end of the file is decoded with the rest zero-filled.
[[nodiscard]] std::optional<RgbImage> readThumbnail(const std::string& rootPath,
                                                    const ThumbnailFormat& format,
                                                    std::uint64_t offset,
                                                    const std::function<void(int)>& progress = {});

}  // namespace pelmar
