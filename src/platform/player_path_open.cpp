#include "platform/player_path_open.h"

#include <atomic>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/player_path_walk.h"

namespace pelmar {

namespace player_path {

namespace {

// Cleared once the kernel has shown that it lacks openat2 (or a sandbox forbids it), so that
// later opens go straight to the walk.
std::atomic<bool> kernelMayResolve{true};

long openat2(int folder, const char* path, int flags, std::uint64_t resolve) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags);
    how.resolve = resolve;
    return ::syscall(SYS_openat2, folder, path, &how, sizeof how);
}

bool meansNoKernelSupport(int error) {
    // ENOSYS: an older kernel; EPERM: a seccomp filter that does not know the call; EINVAL and
    // E2BIG: a kernel that knows the call but not these flags.
    return error == ENOSYS || error == EPERM || error == EINVAL || error == E2BIG;
}

}  // namespace

bool kernelResolvesBeneath() {
    const long fd = openat2(AT_FDCWD, ".", O_PATH | O_CLOEXEC, RESOLVE_BENEATH);
    if (fd >= 0) {
        ::close(static_cast<int>(fd));
        return true;
    }
    return !meansNoKernelSupport(errno);
}

PlayerPathFile failure(int error) {
    PlayerPathFile file;
    file.error = error;
    file.status =
        error == ENOENT || error == ENOTDIR ? PlayerPathStatus::Missing : PlayerPathStatus::Failed;
    return file;
}

PlayerPathFile acceptRegularFile(UniqueFd fd) {
    PlayerPathFile file;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.status = PlayerPathStatus::NotRegularFile;
        return file;
    }
    // Opened without blocking so that a FIFO in the file's place cannot hang the open; reads
    // are to wait for the disk as usual.
    ::fcntl(fd.get(), F_SETFL, O_RDONLY);
    file.fd = std::move(fd);
    file.status = PlayerPathStatus::Opened;
    return file;
}

std::optional<PlayerPathFile> openBeneath(int rootFd, std::string_view relative) {
    if (!kernelMayResolve.load(std::memory_order_relaxed)) {
        return std::nullopt;
    }
    const std::string path(relative);
    const long fd = openat2(rootFd, path.empty() ? "." : path.c_str(),
                            O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                            RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS);
    if (fd >= 0) {
        return acceptRegularFile(UniqueFd(static_cast<int>(fd)));
    }
    const int error = errno;
    if (error == EXDEV || error == ELOOP) {
        // Out of the root, or round in circles: either way nowhere on the player.
        PlayerPathFile file;
        file.status = PlayerPathStatus::LeadsOutside;
        file.error = error;
        return file;
    }
    if (error == ENOENT || error == ENOTDIR) {
        return std::nullopt;  // perhaps there in another case, which only the walk can find
    }
    if (meansNoKernelSupport(error)) {
        kernelMayResolve.store(false, std::memory_order_relaxed);
        return std::nullopt;
    }
    return failure(error);
}

}  // namespace player_path

namespace {

// The part of `relative` the lookups take: the root is the start whatever the slashes say.
std::string_view belowRoot(std::string_view relative) {
    while (!relative.empty() && relative.front() == '/') {
        relative.remove_prefix(1);
    }
    return relative;
}

}  // namespace

PlayerPathFile openPlayerPath(const std::string& root, std::string_view relative) {
    relative = belowRoot(relative);
    if (relative.find('\0') != std::string_view::npos) {
        return player_path::failure(ENOENT);
    }
    // Only a place to look up from: the root itself is never read.
    const UniqueFd rootFd(
        ::open(root.empty() ? "." : root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!rootFd) {
        return player_path::failure(errno);
    }
    if (std::optional<PlayerPathFile> file = player_path::openBeneath(rootFd.get(), relative)) {
        return std::move(*file);
    }
    return player_path::openByWalk(rootFd.get(), relative);
}

bool playerFileExists(const std::string& root, std::string_view relative) {
    return openPlayerPath(root, relative).status == PlayerPathStatus::Opened;
}

}  // namespace pelmar
