#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pelmar {

inline constexpr std::size_t kThumbnailSlots = 4;

// One photo: its times in the player's 1904 epoch, where its thumbnails lie and where its
// full-resolution original is. A slot whose format is 0 is empty; slots fill from the first.
struct ImageData {
    std::uint32_t id = 0;
    std::uint32_t modifiedTime = 0;
    std::uint32_t createdTime = 0;
    std::array<std::uint32_t, kThumbnailSlots> thumbFormat{};
    std::array<std::uint32_t, kThumbnailSlots> thumbOffset{};
    std::array<std::uint32_t, kThumbnailSlots> thumbSize{};
    // The original's path below the player's root ("Photos/Full Resolution/…"), empty for none.
    std::string originalPath;
};

}  // namespace pelmar
