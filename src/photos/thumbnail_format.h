#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pelmar {

// How a format stores its pixels.
enum class PixelLayout : std::uint8_t {
    Rgb565Little,   // 5-6-5 RGB, low byte first, row by row
    Rgb565Big,      // 5-6-5 RGB, high byte first
    InterlacedYuv,  // U Y0 V Y1 groups, the even lines first, then the odd ones
    PlanarYuv420,   // the Y plane, then U, then V, each chroma plane at half width and height
    Jpeg,           // a JPEG stream at the slot's start, zero bytes after it
};

// One thumbnail format the player stores: photos and album artwork alike.
struct ThumbnailFormat {
    std::int32_t formatId;
    std::int32_t byteSize;  // bytes of one thumbnail; the first rows never trust the database's
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t reserved;
    std::uint8_t interlacedYuv;  // 1: interlaced YUV, whatever `layout` says
    std::uint8_t listRank;       // preference in the album list: the lowest wins
    // Among formats of one size, the preference for export and preview: the lowest wins.
    std::uint8_t exportRank;
    PixelLayout layout = PixelLayout::Rgb565Little;
    // Later players state each slot's size in the database, and some pad their rows.
    bool slotSizeFromDatabase = false;
};

// The formats the program knows: first the fixed 11 rows, some ids more than once, then the
// formats of later players.
[[nodiscard]] std::span<const ThumbnailFormat> thumbnailFormatTable();

// The first row of the table with that id; null for an id the program does not know (0, the
// empty slot, included).
[[nodiscard]] const ThumbnailFormat* findThumbnailFormat(std::uint32_t formatId);

[[nodiscard]] PixelLayout pixelLayout(const ThumbnailFormat& format);

// Whether the format stores its RGB pixels high byte first.
[[nodiscard]] bool isBigEndianFormat(const ThumbnailFormat& format);

// Pixels of one picture in the format.
[[nodiscard]] std::uint64_t pixelCount(const ThumbnailFormat& format);

// Whether pictures of `format` are larger than those of `other`: more pixels, or as many and a
// lower export rank. The first formats' export ranks order them by size already.
[[nodiscard]] bool makesLargerPicture(const ThumbnailFormat& format, const ThumbnailFormat& other);

// The bytes one stored picture takes: the database's `statedSize` where the format takes it from
// there and it can hold the picture without being absurdly large, else the table's byteSize.
[[nodiscard]] std::uint32_t slotSize(const ThumbnailFormat& format, std::uint32_t statedSize);

// Bytes from one stored RGB row to the next in a slot of `slot` bytes: slot / height, and never
// less than a row of pixels.
[[nodiscard]] std::uint32_t rowLength(const ThumbnailFormat& format, std::uint32_t slot);

// The file holding every thumbnail of a format: rootPath + "Photos/Thumbs/F<id>_1.ithmb".
[[nodiscard]] std::string thumbnailFilePath(const std::string& rootPath, std::int32_t formatId);

}  // namespace pelmar
