#include "util/app_temp_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/literal_store.h"
#include "util/make_directory_path.h"
#include "util/protected_literals.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/user_folders.h"

namespace pelmar {

namespace {

constexpr mode_t kPrivateMode = 0700;

std::string withoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string collapseSlashes(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (c != '/' || out.empty() || out.back() != '/') {
            out += c;
        }
    }
    return out;
}

// A new private folder in `home`: "pelmar-vantrell" (the name of the settings folder too) when
// that name is free or already a private folder, else a uniquely named one beside it, since
// whatever holds the name cannot be trusted. Returns its path ending in "/", or "" when none
// could be made.
std::string makePrivateFolder(const std::filesystem::path& home) {
    const std::string base = withoutTrailingSlashes(home.string());
    if (base.empty()) {
        return {};
    }
    MakeDirectoryPath(base);
    const std::string preferred = collapseSlashes(base + "/" + reveal(kLiteralSettingsFolder));
    if (::mkdir(preferred.c_str(), kPrivateMode) == 0) {
        // The creation mode passed through the umask; the folder is ours, so set it outright.
        ::chmod(preferred.c_str(), kPrivateMode);
    }
    if (isPrivateFolder(preferred)) {
        return preferred + "/";
    }
    std::string unique = preferred + "-XXXXXX";
    if (::mkdtemp(unique.data()) != nullptr && isPrivateFolder(unique)) {
        return unique + "/";
    }
    return {};
}

}  // namespace

bool isPrivateFolder(std::string_view path) {
    // lstat of "link/" would follow the link; without the slash it describes the link itself.
    const std::string folder = withoutTrailingSlashes(path);
    struct stat info {};
    return !folder.empty() && ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 07777) == kPrivateMode;
}

std::string appTempFolder(SettingsStore& settings, std::string_view subfolder) {
    return appTempFolder(settings, temporaryHome(), subfolder);
}

std::string appTempFolder(SettingsStore& settings, const std::filesystem::path& home,
                          std::string_view subfolder) {
    std::string folder = settings.string(kSettingTempPath, "");
    if (folder.empty() || !isPrivateFolder(folder)) {
        folder = makePrivateFolder(home);
        if (folder.empty()) {
            return {};
        }
        settings.writeString(kSettingTempPath, folder);
    }
    folder += "/";
    if (!subfolder.empty()) {
        folder += subfolder;
        folder += "/";
    }
    folder = collapseSlashes(folder);
    MakeDirectoryPath(folder);
    return folder;
}

UniqueFd openPrivateFileForWriting(const std::string& path) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a reader.
    UniqueFd fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
    struct stat info {};
    if (fd && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
        fd.reset();
    }
    return fd;
}

}  // namespace pelmar
