#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/system_volumes.h"
#include "support/temp_folder.h"

namespace pelmar::test {

// A stand-in for the computer's mount table and sysfs, with real folders as mount points so the
// marker test runs against the file system. Volume sizes can be faked.
class FakeSystem {
  public:
    FakeSystem();

    // Adds a disk partition `major`:`minor` mounted at a folder named `name`, returning the
    // mount point. A USB disk carries `productId` on its USB ancestor.
    std::string mountUsbDisk(const std::string& name, unsigned major, unsigned minor,
                             std::optional<std::uint16_t> productId, bool removableFlag = true);
    std::string mountFixedDisk(const std::string& name, unsigned major, unsigned minor);
    // Lists a mount whose folder does not exist (a volume that went away).
    void mountVanished(const std::string& name, unsigned major, unsigned minor);
    void mountPseudo(const std::string& type, const std::string& mountPoint);

    // Puts the player's marker folder on a mounted volume.
    static void makePlayer(const std::string& mountPoint);

    [[nodiscard]] std::string mountInfoPath() const {
        return (base_.path() / "mountinfo").string();
    }
    [[nodiscard]] std::string sysfsRoot() const { return (base_.path() / "sys").string(); }

  private:
    void addMountLine(unsigned major, unsigned minor, const std::string& mountPoint,
                      const std::string& type);
    void linkBlockDevice(unsigned major, unsigned minor, const std::filesystem::path& folder);

    TempFolder base_;
    int nextMountId_ = 30;
};

// SystemVolumes over a FakeSystem, with volume sizes set by the test.
class FakeVolumes : public SystemVolumes {
  public:
    explicit FakeVolumes(const FakeSystem& system)
        : SystemVolumes(system.mountInfoPath(), system.sysfsRoot()) {}

    void setTotalBytes(const std::string& mountPoint, std::uint64_t bytes) {
        sizes_[mountPoint + "/"] = bytes;
    }
    [[nodiscard]] std::optional<VolumeSpace> space(const std::string& root) const override {
        const auto it = sizes_.find(root);
        if (it == sizes_.end()) {
            return std::nullopt;
        }
        return VolumeSpace{it->second, it->second / 2};
    }

  private:
    std::map<std::string, std::uint64_t> sizes_;
};

}  // namespace pelmar::test
