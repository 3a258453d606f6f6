#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelmar {

struct VolumeSpace {
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;  // what the current user may still write
};

// Size and free space of the volume holding `path`; nothing when it cannot be read.
[[nodiscard]] std::optional<VolumeSpace> volumeSpace(const std::string& path);

}  // namespace pelmar
