#include "platform/file_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace pelmar {

LockOutcome tryLockExclusively(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        return errno == EWOULDBLOCK ? LockOutcome::Held : LockOutcome::Unsupported;
    }
    return LockOutcome::Taken;
}

LockedFile lockFile(const std::string& path) {
    LockedFile locked;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a reader.
    UniqueFd fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600));
    struct stat info {};
    if (!fd) {
        locked.error = errno;
        return locked;
    }
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        locked.error = EINVAL;
        return locked;
    }
    locked.outcome = tryLockExclusively(fd.get());
    if (locked.outcome == LockOutcome::Taken) {
        locked.fd = std::move(fd);
    } else if (locked.outcome == LockOutcome::Unsupported) {
        locked.error = errno;
    }
    return locked;
}

}  // namespace pelmar
