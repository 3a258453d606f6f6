#include "platform/mount_table.h"

#include <array>
#include <charconv>

namespace pelmar {

namespace {

constexpr std::array<std::string_view, 23> kPseudoFileSystems = {
    "proc",       "sysfs",    "devtmpfs", "devpts",    "tmpfs",      "cgroup",
    "cgroup2",    "mqueue",   "debugfs",  "tracefs",   "securityfs", "pstore",
    "bpf",        "configfs", "fusectl",  "hugetlbfs", "autofs",     "binfmt_misc",
    "rpc_pipefs", "nsfs",     "efivarfs", "ramfs",     "selinuxfs",
};

// Mount points escape space, tab, newline and backslash as three octal digits.
std::string unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i > 3) {
            unsigned value = 0;
            bool octal = true;
            for (std::size_t k = 1; k <= 3; ++k) {
                const char c = field[i + k];
                octal = octal && c >= '0' && c <= '7';
                value = value * 8 + static_cast<unsigned>(c - '0');
            }
            if (octal && value < 256) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start) {
            fields.push_back(line.substr(start, end - start));
        }
        start = end + 1;
    }
    return fields;
}

bool parseDeviceNumbers(std::string_view text, unsigned& major, unsigned& minor) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const auto parse = [](std::string_view digits, unsigned& value) {
        const auto [end, error] = std::from_chars(digits.begin(), digits.end(), value);
        return error == std::errc{} && end == digits.end() && !digits.empty();
    };
    return parse(text.substr(0, colon), major) && parse(text.substr(colon + 1), minor);
}

}  // namespace

std::vector<MountedVolume> parseMountInfo(std::string_view text) {
    std::vector<MountedVolume> volumes;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::vector<std::string_view> fields = splitFields(text.substr(start, end - start));
        start = end + 1;
        // id parent major:minor root mount-point options [optional...] - type source options
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-") {
            ++separator;
        }
        if (fields.size() < 5 || separator + 1 >= fields.size()) {
            continue;
        }
        MountedVolume volume;
        if (!parseDeviceNumbers(fields[2], volume.major, volume.minor)) {
            continue;
        }
        volume.mountPoint = unescape(fields[4]);
        volume.fileSystem = std::string(fields[separator + 1]);
        bool pseudo = false;
        for (const std::string_view name : kPseudoFileSystems) {
            pseudo = pseudo || volume.fileSystem == name;
        }
        if (!pseudo) {
            volumes.push_back(std::move(volume));
        }
    }
    return volumes;
}

}  // namespace pelmar
