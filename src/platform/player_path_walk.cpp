#include "platform/player_path_walk.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/path_lookup.h"

namespace pelmar::player_path {

namespace {

// As many links as the kernel follows in one lookup before it calls the path a loop.
constexpr int kMostLinks = 40;
// Each folder on the way holds a descriptor (so that ".." can go back); a deeper path than any
// player has is refused before the descriptors run out.
constexpr std::size_t kDeepestFolder = 256;

// EXDEV for a way out of the root, ELOOP for a way round in circles, as the kernel says them.
PlayerPathFile leadsOutside(int error) {
    PlayerPathFile file;
    file.status = PlayerPathStatus::LeadsOutside;
    file.error = error;
    return file;
}

// Puts the components of `path` in front of `pending`, in their order.
void pushFront(std::deque<std::string>& pending, std::string_view path) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        components.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    pending.insert(pending.begin(), components.begin(), components.end());
}

// The entry of the folder `folderFd` whose name equals `name` without regard to ASCII case;
// empty when there is none.
std::string entryIgnoringCase(int folderFd, const std::string& name) {
    // A descriptor of its own: the directory stream takes it over, and its read position.
    const int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return {};
    }
    DIR* dir = ::fdopendir(listing);
    if (dir == nullptr) {
        ::close(listing);
        return {};
    }
    return takeEntryIgnoringCase(dir, name);
}

// The link's target; empty with errno set when it cannot be read.
std::string readLink(int folderFd, const std::string& name) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlinkat(folderFd, name.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
        errno = n < 0 ? errno : ENAMETOOLONG;
        return {};
    }
    target.resize(static_cast<std::size_t>(n));
    return target;
}

}  // namespace

PlayerPathFile openByWalk(int rootFd, std::string_view relative) {
    if (relative.size() >= PATH_MAX) {
        return failure(ENAMETOOLONG);
    }
    // The folders below the root that the walk stands in, the deepest last.
    std::vector<UniqueFd> folders;
    const auto current = [&] { return folders.empty() ? rootFd : folders.back().get(); };
    std::deque<std::string> pending;
    pushFront(pending, relative);
    int links = 0;
    while (!pending.empty()) {
        std::string name = std::move(pending.front());
        pending.pop_front();
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (folders.empty()) {
                return leadsOutside(EXDEV);
            }
            folders.pop_back();
            continue;
        }
        struct stat info {};
        if (::fstatat(current(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                return failure(errno);
            }
            name = entryIgnoringCase(current(), name);
            if (name.empty() ||
                ::fstatat(current(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                return failure(ENOENT);
            }
        }
        if (S_ISLNK(info.st_mode)) {
            const std::string target = readLink(current(), name);
            if (target.empty()) {
                return failure(errno);
            }
            // A loop leads nowhere on the player; an absolute target names the computer's own
            // files, never the player's, even when it happens to point below the root.
            if (++links > kMostLinks) {
                return leadsOutside(ELOOP);
            }
            if (target.front() == '/') {
                return leadsOutside(EXDEV);
            }
            pushFront(pending, target);
            continue;
        }
        if (!pending.empty()) {
            if (!S_ISDIR(info.st_mode)) {
                return failure(ENOTDIR);
            }
            if (folders.size() >= kDeepestFolder) {
                return failure(ENAMETOOLONG);
            }
            UniqueFd folder(
                ::openat(current(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!folder) {
                return failure(errno);
            }
            folders.push_back(std::move(folder));
            continue;
        }
        if (!S_ISREG(info.st_mode)) {
            PlayerPathFile file;
            file.status = PlayerPathStatus::NotRegularFile;
            return file;
        }
        UniqueFd fd(::openat(current(), name.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd) {
            return failure(errno);
        }
        return acceptRegularFile(std::move(fd));
    }
    // Nothing named beyond a folder: the root itself, or a folder below it.
    PlayerPathFile file;
    file.status = PlayerPathStatus::NotRegularFile;
    return file;
}

}  // namespace pelmar::player_path
