#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_lock.h"

namespace pelmar {

namespace {

// How often a fresh temporary name is tried when a cleaner took the last one away.
constexpr int kCreateAttempts = 8;

// The temporary file's name: hidden, beside the destination, so the rename stays on one volume.
std::string temporaryPattern(const std::string& destination) {
    const std::size_t slash = destination.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    const std::string name =
        slash == std::string::npos ? destination : destination.substr(slash + 1);
    // Long names would make the temporary name too long for the file system.
    return folder + "." + name.substr(0, 200) + std::string(kTemporaryMarker) + "XXXXXX";
}

// The process's file-creation mask, read without changing it: umask() itself would briefly
// change the mask for every thread.
mode_t processUmask() {
    static const mode_t mask = [] {
        std::FILE* status = std::fopen("/proc/self/status", "re");
        unsigned value = 022;
        if (status != nullptr) {
            char line[256];
            while (std::fgets(line, sizeof line, status) != nullptr) {
                if (std::sscanf(line, "Umask: %o", &value) == 1) {
                    break;
                }
            }
            std::fclose(status);
        }
        return static_cast<mode_t>(value);
    }();
    return mask;
}

bool renameReplacing(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Moves `from` to `to` unless `to` exists, by the strongest means the file system offers.
bool renameNotReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return false;
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    // Neither is supported (old FAT drivers): check, then rename.
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return renameReplacing(from, to);
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

bool AtomicFileWriter::open(const std::string& destination) {
    abandon();
    error_ = 0;
    destination_ = destination;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string pattern = temporaryPattern(destination);
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) {
            setError(errno);
            return false;
        }
        // Between its creation and the lock, another program's cleaner may have taken the file
        // for a stale one: it holds the lock while it removes the name, so the file is either
        // locked by the cleaner or already unlinked. Neither is ours to write into.
        const LockOutcome lock = tryLockExclusively(fd);
        struct stat info {};
        if (lock == LockOutcome::Held || (::fstat(fd, &info) == 0 && info.st_nlink == 0)) {
            ::close(fd);
            continue;
        }
        fd_ = fd;
        temporary_ = std::move(pattern);
        // mkostemp makes the file private; a backed-up file is an ordinary file of its user.
        ::fchmod(fd_, 0666 & ~processUmask());
        return true;
    }
    setError(EEXIST);
    return false;
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) {
        setError(EBADF);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            setError(errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::write(std::string_view text) {
    return write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtomicFileWriter::commit(bool replace) {
    if (fd_ < 0 || error_ != 0) {
        setError(EBADF);
        abandon();
        return false;
    }
    if (::fdatasync(fd_) != 0) {
        setError(errno);
    }
    // Renamed while still open: closing first would let go of the lock, and a cleaner could
    // take the finished file for a stale one before it had its name.
    if (error_ == 0) {
        if (replace ? renameReplacing(temporary_, destination_)
                    : renameNotReplacing(temporary_, destination_)) {
            temporary_.clear();
        } else {
            setError(errno);
        }
    }
    // The flush above already reported any write the disk refused; close has nothing to add.
    ::close(fd_);
    fd_ = -1;
    abandon();
    return error_ == 0;
}

void AtomicFileWriter::abandon() {
    // Unlinked before it is closed, while the lock still says the file is ours.
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

int writeFileAtomically(const std::string& destination, std::span<const std::uint8_t> bytes,
                        bool replace) {
    AtomicFileWriter writer;
    if (writer.open(destination) && writer.write(bytes)) {
        writer.commit(replace);
    }
    return writer.error();
}

}  // namespace pelmar
