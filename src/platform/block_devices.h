#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelmar {

// What sysfs tells about a block device, looked up by its device numbers. The sysfs root is a
// parameter so that tests can build fake device trees.
class BlockDevices {
  public:
    explicit BlockDevices(std::string sysfsRoot = "/sys") : root_(std::move(sysfsRoot)) {}

    // Whether the device's disk says it is removable, or the device hangs off a USB bus.
    [[nodiscard]] bool isRemovable(unsigned major, unsigned minor) const;
    // The USB product id of the USB device that holds the block device, if it has one.
    [[nodiscard]] std::optional<std::uint16_t> usbProductId(unsigned major, unsigned minor) const;

  private:
    // The device's own folder in sysfs, symbolic links resolved; empty when it has none.
    [[nodiscard]] std::string deviceFolder(unsigned major, unsigned minor) const;

    std::string root_;
};

}  // namespace pelmar
