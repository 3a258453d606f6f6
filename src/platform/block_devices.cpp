#include "platform/block_devices.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <fstream>

#include <sys/stat.h>

namespace pelmar {

namespace {

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string parentOf(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : folder.substr(0, slash);
}

}  // namespace

std::string BlockDevices::deviceFolder(unsigned major, unsigned minor) const {
    const std::string link =
        root_ + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    char resolved[PATH_MAX];
    if (::realpath(link.c_str(), resolved) == nullptr) {
        return {};
    }
    return resolved;
}

bool BlockDevices::isRemovable(unsigned major, unsigned minor) const {
    std::string folder = deviceFolder(major, minor);
    if (folder.empty()) {
        return false;
    }
    // A partition's own folder has no "removable"; its disk, one level up, has.
    const std::string disk = exists(folder + "/partition") ? parentOf(folder) : folder;
    if (firstLine(disk + "/removable") == "1") {
        return true;
    }
    return usbProductId(major, minor).has_value();
}

std::optional<std::uint16_t> BlockDevices::usbProductId(unsigned major, unsigned minor) const {
    char resolvedRoot[PATH_MAX];
    if (::realpath(root_.c_str(), resolvedRoot) == nullptr) {
        return std::nullopt;
    }
    const std::string top = resolvedRoot;
    // The USB device is the nearest ancestor that carries a product id.
    for (std::string folder = deviceFolder(major, minor);
         folder.size() > top.size() && folder.compare(0, top.size(), top) == 0;
         folder = parentOf(folder)) {
        const std::string text = firstLine(folder + "/idProduct");
        if (text.empty()) {
            continue;
        }
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (error == std::errc{} && value <= 0xFFFF) {
            return static_cast<std::uint16_t>(value);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace pelmar
