#include "util/user_folders.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace pelmar {

namespace {

std::filesystem::path absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return value;
}

std::filesystem::path passwordHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

std::filesystem::path underHome(const char* relative) {
    const std::filesystem::path home = homeFolder();
    return home.empty() ? home : home / relative;
}

}  // namespace

std::filesystem::path homeFolder() {
    std::filesystem::path home = absoluteVariable("HOME");
    return home.empty() ? passwordHome() : home;
}

std::filesystem::path configHome() {
    std::filesystem::path folder = absoluteVariable("XDG_CONFIG_HOME");
    return folder.empty() ? underHome(".config") : folder;
}

std::filesystem::path temporaryHome() {
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
        if (std::filesystem::path folder = absoluteVariable(name); !folder.empty()) {
            return folder;
        }
    }
    return underHome(".cache");
}

}  // namespace pelmar
