#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

// A mounted file system as the kernel lists it.
struct MountedVolume {
    std::string mountPoint;
    std::string fileSystem;
    unsigned major = 0;
    unsigned minor = 0;
};

// The real file systems of a mountinfo text (the format of /proc/self/mountinfo), in its
// order; kernel pseudo file systems are left out and damaged lines skipped.
[[nodiscard]] std::vector<MountedVolume> parseMountInfo(std::string_view text);

}  // namespace pelmar
