#include "library/device_information.h"

#include <cstdio>

#include "library/device_family.h"
#include "library/device_model.h"
#include "library/player_library.h"

namespace pelmar {

std::string gigabytesText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f GB",
                  static_cast<double>(bytes) / static_cast<double>(std::uint64_t{1} << 30));
    return text;
}

std::string mountPointText(const std::string& rootPath) {
    if (rootPath.size() > 1 && rootPath.back() == '/') {
        return rootPath.substr(0, rootPath.size() - 1);
    }
    return rootPath;
}

std::vector<DeviceProperty> deviceInformationRows(const PlayerLibrary& library,
                                                  const std::optional<VolumeSpace>& space) {
    const VolumeSpace known = space.value_or(VolumeSpace{});
    return {
        {"Device Name", modelName(library.deviceKind)},
        {"Mount Point", mountPointText(library.rootPath)},
        {"Total Capacity", gigabytesText(known.totalBytes)},
        {"Free Space", gigabytesText(known.freeBytes)},
        {"Model", playerModel(library)},
    };
}

}  // namespace pelmar
