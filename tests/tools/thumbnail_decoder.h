#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "player_image/player_image.h"

// The program's table of thumbnail formats and its pixel decoding, written down afresh from the
// format description, so that the writer's thumbnails are checked against the format rather
// than against the writer's own encoder.
namespace pelmar::player_image::test {

struct KnownFormat {
    std::uint32_t formatId;
    std::uint32_t byteSize;
    std::uint32_t width;
    std::uint32_t height;
    bool interlacedYuv;
    bool bigEndian;
};

// The nine distinct formats the program knows; none for any other id.
[[nodiscard]] std::span<const KnownFormat> knownFormats();
[[nodiscard]] std::optional<KnownFormat> knownFormat(std::uint32_t formatId);

// The colour the program draws at (x, y), y being the display line, from one thumbnail's bytes.
[[nodiscard]] Rgb decodePixel(const KnownFormat& format, std::span<const std::uint8_t> thumbnail,
                              std::uint32_t x, std::uint32_t y);

}  // namespace pelmar::player_image::test
