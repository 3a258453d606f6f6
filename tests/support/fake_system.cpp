#include "support/fake_system.h"

#include <cstdio>
#include <fstream>

namespace pelmar::test {

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

}  // namespace

FakeSystem::FakeSystem() {
    fs::create_directories(base_.path() / "sys" / "dev" / "block");
    fs::create_directories(base_.path() / "mnt");
    std::ofstream(base_.path() / "mountinfo");
}

void FakeSystem::addMountLine(unsigned major, unsigned minor, const std::string& mountPoint,
                              const std::string& type) {
    std::string escaped;
    for (const char c : mountPoint) {
        escaped += c == ' ' ? std::string("\\040") : std::string(1, c);
    }
    std::ofstream(mountInfoPath(), std::ios::app)
        << nextMountId_++ << " 1 " << major << ":" << minor << " / " << escaped
        << " rw,relatime shared:7 - " << type << " /dev/x rw\n";
}

void FakeSystem::linkBlockDevice(unsigned major, unsigned minor, const fs::path& folder) {
    const fs::path link = base_.path() / "sys" / "dev" / "block" /
                          (std::to_string(major) + ":" + std::to_string(minor));
    fs::create_directory_symlink(fs::relative(folder, link.parent_path()), link);
}

std::string FakeSystem::mountUsbDisk(const std::string& name, unsigned major, unsigned minor,
                                     std::optional<std::uint16_t> productId, bool removableFlag) {
    const fs::path usb = base_.path() / "sys" / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" /
                         ("1-" + std::to_string(minor));
    if (productId) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04x", *productId);
        writeText(usb / "idProduct", digits);
        writeText(usb / "idVendor", "05ac");
    }
    const fs::path disk = usb / "1-1:1.0" / "host6" / "target6:0:0" / "6:0:0:0" / "block" / name;
    writeText(disk / "removable", removableFlag ? "1" : "0");
    writeText(disk / (name + "1") / "partition", "1");
    linkBlockDevice(major, minor, disk / (name + "1"));
    const fs::path mountPoint = base_.path() / "mnt" / name;
    fs::create_directories(mountPoint);
    addMountLine(major, minor, mountPoint.string(), "vfat");
    return mountPoint.string();
}

std::string FakeSystem::mountFixedDisk(const std::string& name, unsigned major, unsigned minor) {
    const fs::path disk = base_.path() / "sys" / "devices" / "pci0000:00" / "0000:00:1f.2" /
                          "ata1" / "host0" / "block" / name;
    writeText(disk / "removable", "0");
    writeText(disk / (name + "1") / "partition", "1");
    linkBlockDevice(major, minor, disk / (name + "1"));
    const fs::path mountPoint = base_.path() / "mnt" / name;
    fs::create_directories(mountPoint);
    addMountLine(major, minor, mountPoint.string(), "ext4");
    return mountPoint.string();
}

void FakeSystem::mountVanished(const std::string& name, unsigned major, unsigned minor) {
    addMountLine(major, minor, (base_.path() / "mnt" / name).string(), "vfat");
}

void FakeSystem::mountPseudo(const std::string& type, const std::string& mountPoint) {
    addMountLine(0, 23, mountPoint, type);
}

void FakeSystem::makePlayer(const std::string& mountPoint) {
    fs::create_directories(fs::path(mountPoint) / "iPod_Control" / "iTunes");
}

}  // namespace pelmar::test
