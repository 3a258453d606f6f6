#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pelmar {

// One thumbnail format the player stores. Every format holds 16 bits per pixel: 5-6-5 RGB, or
// interlaced YUV where two neighbouring pixels share their chroma.
struct ThumbnailFormat {
    std::int32_t formatId;
    std::int32_t byteSize;  // bytes of one thumbnail; the database's own size is not trusted
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t reserved;
    std::uint8_t interlacedYuv;  // 1: interlaced YUV; 0: 16-bit RGB
    std::uint8_t listRank;       // preference in the album list: the lowest wins
    std::uint8_t exportRank;     // preference for export and preview: the lowest (largest) wins
};

// The fixed table of the formats the program knows, 11 rows, some ids more than once.
[[nodiscard]] std::span<const ThumbnailFormat> thumbnailFormatTable();

// The first row of the table with that id; null for an id the program does not know (0, the
// empty slot, included).
[[nodiscard]] const ThumbnailFormat* findThumbnailFormat(std::uint32_t formatId);

// Whether the format stores its RGB pixels high byte first.
[[nodiscard]] bool isBigEndianFormat(const ThumbnailFormat& format);

// The file holding every thumbnail of a format: rootPath + "Photos/Thumbs/F<id>_1.ithmb".
[[nodiscard]] std::string thumbnailFilePath(const std::string& rootPath, std::int32_t formatId);

}  // namespace pelmar
