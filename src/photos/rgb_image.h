#pragma once

#include <cstdint>
#include <vector>

namespace pelmar {

// A decoded picture: width × height pixels of red, green and blue bytes, rows top to bottom
// without padding.
struct RgbImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

}  // namespace pelmar
