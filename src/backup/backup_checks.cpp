#include "backup/backup_checks.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <system_error>

#include "util/setting_names.h"
#include "util/settings_store.h"

namespace pelmar {

namespace {

// Names no file, so a folder that was never chosen fails the existence check.
constexpr const char* kNoFolderChosen = "::";

}  // namespace

std::optional<std::uint64_t> volumeFreeBytes(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.f_bfree) * info.f_frsize;
}

std::uint32_t freeMegabytes(std::optional<std::uint64_t> freeBytes) {
    const auto kilobytes = static_cast<std::uint32_t>(freeBytes.value_or(0) / 1024);
    return kilobytes / 1024;
}

std::string mountPointOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path current = std::filesystem::canonical(path, error);
    struct stat info {};
    if (error || ::stat(current.c_str(), &info) != 0) {
        return path;
    }
    const dev_t device = info.st_dev;
    while (current.has_relative_path()) {
        std::filesystem::path parent = current.parent_path();
        if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) {
            break;
        }
        current = std::move(parent);
    }
    return current.string();
}

std::optional<std::string> checkBeforeBackup(const std::string& folder,
                                             std::uint32_t selectedKilobytes,
                                             const FreeBytesQuery& freeBytes) {
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        return "Please choose a valid destination folder before beginning backup.\n\nClick the "
               "'Options' tab above and then the 'Choose Folder' button.";
    }
    const std::uint32_t available = freeMegabytes(freeBytes ? freeBytes(folder) : std::nullopt);
    const std::uint32_t needed = selectedKilobytes / 1024;
    if (needed > available) {
        return "The disk mounted at " + mountPointOf(folder) +
               " does not have enough free space (" + std::to_string(available) +
               " MB) to backup the selected tracks (" + std::to_string(needed) +
               " MB).\nPlease select a destination folder on another disk, or select fewer "
               "tracks to backup.";
    }
    return std::nullopt;
}

std::optional<std::string> checkBeforeBackup(const SettingsStore& settings,
                                             std::uint32_t selectedKilobytes,
                                             const FreeBytesQuery& freeBytes) {
    return checkBeforeBackup(settings.string(kSettingDestinationFolder, kNoFolderChosen),
                             selectedKilobytes, freeBytes);
}

}  // namespace pelmar
