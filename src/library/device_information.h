#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/volume_space.h"

namespace pelmar {

class PlayerLibrary;

struct DeviceProperty {
    std::string label;
    std::string value;
};

// The rows of the Device Information page: "Device Name", "Mount Point", "Total Capacity" and
// "Free Space", these two from one query of the player's volume, then "Model", the name users know
// the player by. An unreadable volume shows 0.00 GB.
[[nodiscard]] std::vector<DeviceProperty> deviceInformationRows(
    const PlayerLibrary& library, const std::optional<VolumeSpace>& space);

// A byte count in binary gigabytes, "%.2f GB".
[[nodiscard]] std::string gigabytesText(std::uint64_t bytes);

// The player's root as shown to the user: the mount point without its trailing "/".
[[nodiscard]] std::string mountPointText(const std::string& rootPath);

}  // namespace pelmar
