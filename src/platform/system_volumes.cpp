#include "platform/system_volumes.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "platform/mount_table.h"
#include "platform/path_lookup.h"

namespace pelmar {

namespace {

constexpr std::string_view kMarker = "iPod_Control";

// Whether `path` lies on the volume mounted at `mountPoint`.
bool isUnder(const std::string& path, const std::string& mountPoint) {
    if (mountPoint == "/") {
        return true;
    }
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

SystemVolumes::SystemVolumes(std::string mountInfoPath, std::string sysfsRoot)
    : mountInfoPath_(std::move(mountInfoPath)), devices_(std::move(sysfsRoot)) {}

std::vector<CandidateVolume> SystemVolumes::volumes() const {
    std::ifstream in(mountInfoPath_);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<CandidateVolume> result;
    for (const MountedVolume& mounted : parseMountInfo(text.str())) {
        CandidateVolume volume;
        volume.mountPoint = mounted.mountPoint;
        volume.major = mounted.major;
        volume.minor = mounted.minor;
        volume.removable = devices_.isRemovable(mounted.major, mounted.minor);
        // A later mount on the same point hides the earlier one.
        std::erase_if(result, [&](const CandidateVolume& earlier) {
            return earlier.mountPoint == volume.mountPoint;
        });
        result.push_back(std::move(volume));
    }
    return result;
}

bool SystemVolumes::holdsMarker(const std::string& root) const {
    struct stat info {};
    return ::stat(findPathIgnoringCase(root, kMarker).c_str(), &info) == 0;
}

std::optional<std::uint16_t> SystemVolumes::usbProductId(const std::string& root) const {
    char resolved[PATH_MAX];
    if (::realpath(root.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    const std::string path = resolved;
    const CandidateVolume* holder = nullptr;
    const std::vector<CandidateVolume> all = volumes();
    for (const CandidateVolume& volume : all) {
        if (isUnder(path, volume.mountPoint) &&
            (holder == nullptr || volume.mountPoint.size() > holder->mountPoint.size())) {
            holder = &volume;
        }
    }
    if (holder == nullptr) {
        return std::nullopt;
    }
    return devices_.usbProductId(holder->major, holder->minor);
}

std::optional<VolumeSpace> SystemVolumes::space(const std::string& root) const {
    return volumeSpace(root);
}

}  // namespace pelmar
