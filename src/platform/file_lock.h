#pragma once

#include <string>

#include "util/unique_fd.h"

namespace pelmar {

enum class LockOutcome {
    Taken,        // the descriptor now holds the lock
    Held,         // another open file holds it, in this program or in another
    Unsupported,  // no lock could be had: the file system keeps none, or the file cannot be opened
};

// Takes an exclusive advisory lock on the open file `fd` without waiting. The lock belongs to
// the open file, not to the process, and goes when its last descriptor closes, so a program
// that is killed lets go of its locks.
[[nodiscard]] LockOutcome tryLockExclusively(int fd);

struct LockedFile {
    UniqueFd fd;  // open only when the lock was taken
    LockOutcome outcome = LockOutcome::Unsupported;
    int error = 0;  // the errno value behind Unsupported
};

// Opens `path` for writing and tries to lock it as above: created with mode 0600 when missing,
// never truncated, never through a symbolic link, and only when it is a regular file.
[[nodiscard]] LockedFile lockFile(const std::string& path);

}  // namespace pelmar
