#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/block_devices.h"
#include "platform/volume_space.h"

namespace pelmar {

// A mounted volume that may hold a player.
struct CandidateVolume {
    std::string mountPoint;  // without a trailing "/", except for "/" itself
    bool removable = false;
    unsigned major = 0;
    unsigned minor = 0;
};

// The computer's mounted volumes as connecting to a player sees them. The mount table and the
// sysfs root are parameters, and every query is virtual, so tests can stand in for the system.
class SystemVolumes {
  public:
    explicit SystemVolumes(std::string mountInfoPath = "/proc/self/mountinfo",
                           std::string sysfsRoot = "/sys");
    virtual ~SystemVolumes() = default;
    SystemVolumes(const SystemVolumes&) = delete;
    SystemVolumes& operator=(const SystemVolumes&) = delete;

    // Each mount point once, as the last mount on it shows it; an unreadable table gives none.
    [[nodiscard]] virtual std::vector<CandidateVolume> volumes() const;
    // Whether the folder `root` (ending in "/") holds the player's marker folder.
    [[nodiscard]] virtual bool holdsMarker(const std::string& root) const;
    // The USB product id of the device that holds `root`, if it is on a USB device.
    [[nodiscard]] virtual std::optional<std::uint16_t> usbProductId(const std::string& root) const;
    [[nodiscard]] virtual std::optional<VolumeSpace> space(const std::string& root) const;

  private:
    std::string mountInfoPath_;
    BlockDevices devices_;
};

}  // namespace pelmar
