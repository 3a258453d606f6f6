#include "platform/stale_temporaries.h"

#include <algorithm>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/file_lock.h"
#include "util/unique_fd.h"

namespace pelmar {

namespace {

// What mkostemp puts in place of its six X.
constexpr std::size_t kUniquePart = 6;

// The names of `folder` that look like temporary files, read before any is removed.
std::vector<std::string> temporaryNames(int folderFd) {
    std::vector<std::string> names;
    const int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return names;
    }
    DIR* dir = ::fdopendir(listing);
    if (dir == nullptr) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) &&
            isTemporaryFileName(entry->d_name)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporary file `name` when nobody writes it any more.
bool removeIfStale(int folderFd, const std::string& name) {
    const UniqueFd fd(::openat(folderFd, name.c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!fd || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
        return false;
    }
    // A writer holds its lock from creating the file until it has renamed it into place. A file
    // system without locks cannot say, so its temporary files are left alone.
    if (tryLockExclusively(fd.get()) != LockOutcome::Taken) {
        return false;
    }
    // The name must still be the file that was locked, not one put there since.
    struct stat named {};
    if (::fstatat(folderFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !sameFile(opened, named)) {
        return false;
    }
    // Unlinked while the lock is held: a writer that created the file a moment ago and locks it
    // only now finds it gone and starts afresh.
    return ::unlinkat(folderFd, name.c_str(), 0) == 0;
}

}  // namespace

bool isTemporaryFileName(std::string_view name) {
    const std::size_t tail = kTemporaryMarker.size() + kUniquePart;
    if (name.size() < 2 + tail || name.front() != '.') {
        return false;
    }
    const std::string_view unique = name.substr(name.size() - kUniquePart);
    return name.substr(name.size() - tail, kTemporaryMarker.size()) == kTemporaryMarker &&
           std::all_of(unique.begin(), unique.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

std::size_t removeStaleTemporaries(const std::string& folder) {
    const UniqueFd folderFd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd) {
        return 0;
    }
    std::size_t removed = 0;
    for (const std::string& name : temporaryNames(folderFd.get())) {
        removed += removeIfStale(folderFd.get(), name) ? 1 : 0;
    }
    return removed;
}

}  // namespace pelmar
