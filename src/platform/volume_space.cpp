#include "platform/volume_space.h"

#include <sys/statvfs.h>

namespace pelmar {

std::optional<VolumeSpace> volumeSpace(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    VolumeSpace space;
    space.totalBytes = static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
    space.freeBytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    return space;
}

}  // namespace pelmar
