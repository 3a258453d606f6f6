#include "platform/file_copy.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"

namespace pelmar {

namespace {

// Small enough that the disk starts writing soon after the copy starts, large enough that the
// calls cost nothing next to the bytes.
constexpr std::size_t kChunk = std::size_t{1} << 20;

class SourceFile {
  public:
    explicit SourceFile(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~SourceFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;
    [[nodiscard]] int fd() const { return fd_; }

  private:
    int fd_;
};

// Hands each copied chunk to the disk at once instead of leaving it to the final flush: the disk
// then writes while the next chunk is read, and the flush that makes the file durable has only
// the last chunk left to wait for.
class WriteBehind {
  public:
    explicit WriteBehind(int fd) : fd_(fd) {}
    void written(std::uint64_t upTo) {
        if (upTo > started_) {
            ::sync_file_range(fd_, static_cast<off_t>(started_),
                              static_cast<off_t>(upTo - started_), SYNC_FILE_RANGE_WRITE);
            started_ = upTo;
        }
    }

  private:
    int fd_;
    std::uint64_t started_ = 0;
};

bool aborted(const std::atomic<bool>* abort) {
    return abort != nullptr && abort->load();
}

// Copies inside the kernel while it can; false with errno set when it cannot start at all, so
// the caller falls back to reading and writing.
bool copyInKernel(int from, int to, std::uint64_t total, std::uint64_t& copied,
                  WriteBehind& writeBehind, const CopyProgress& progress,
                  const std::atomic<bool>* abort, int& error) {
    while (copied < total) {
        if (aborted(abort)) {
            error = ECANCELED;
            return true;
        }
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, kChunk, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (copied == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                errno == EOPNOTSUPP || errno == EBADF)) {
                return false;
            }
            error = errno;
            return true;
        }
        if (n == 0) {
            break;  // the file shrank while being copied; what is there is copied
        }
        copied += static_cast<std::uint64_t>(n);
        writeBehind.written(copied);
        if (progress) {
            progress(total, copied);
        }
    }
    return true;
}

int copyByReading(int from, AtomicFileWriter& writer, std::uint64_t total, std::uint64_t& copied,
                  WriteBehind& writeBehind, const CopyProgress& progress,
                  const std::atomic<bool>* abort) {
    std::vector<std::uint8_t> buffer(kChunk);
    while (true) {
        if (aborted(abort)) {
            return ECANCELED;
        }
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        if (!writer.write(std::span(buffer.data(), static_cast<std::size_t>(n)))) {
            return writer.error();
        }
        copied += static_cast<std::uint64_t>(n);
        writeBehind.written(copied);
        if (progress) {
            progress(total, copied);
        }
    }
}

// Copies what `from` holds after its offset to the writer's file; 0 or the errno value.
int copyContent(int from, AtomicFileWriter& writer, std::uint64_t total,
                const CopyProgress& progress, const std::atomic<bool>* abort) {
    std::uint64_t copied = 0;
    int error = 0;
    WriteBehind writeBehind(writer.descriptor());
    if (!copyInKernel(from, writer.descriptor(), total, copied, writeBehind, progress, abort,
                      error)) {
        return copyByReading(from, writer, total, copied, writeBehind, progress, abort);
    }
    if (error == 0 && copied >= total) {
        // The file may have grown since it was measured: take the rest too.
        return copyByReading(from, writer, total, copied, writeBehind, progress, abort);
    }
    return error;
}

}  // namespace

int copyFileAtomically(const std::string& source, const std::string& destination, bool replace,
                       const CopyProgress& progress, const std::atomic<bool>* abort) {
    const SourceFile from(source);
    if (from.fd() < 0) {
        return errno;
    }
    return copyOpenFileAtomically(from.fd(), destination, replace, progress, abort);
}

int copyOpenFileAtomically(int source, const std::string& destination, bool replace,
                           const CopyProgress& progress, const std::atomic<bool>* abort,
                           const CopyFinisher& finish) {
    struct stat info {};
    if (::fstat(source, &info) != 0) {
        return errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return EINVAL;
    }
    const off_t start = ::lseek(source, 0, SEEK_CUR);
    if (start < 0) {
        return errno;
    }
    ::posix_fadvise(source, 0, 0, POSIX_FADV_SEQUENTIAL);
    const auto total = static_cast<std::uint64_t>(info.st_size);

    AtomicFileWriter writer;
    if (!writer.open(destination)) {
        return writer.error();
    }
    int error = copyContent(source, writer, total, progress, abort);
    if (error == 0 && finish && finish(writer.descriptor()) == CopyFinish::Recopy) {
        // Read again rather than undone: whatever the work left in the file cannot be trusted.
        if (::ftruncate(writer.descriptor(), 0) != 0 ||
            ::lseek(writer.descriptor(), 0, SEEK_SET) != 0 ||
            ::lseek(source, start, SEEK_SET) != start) {
            error = errno;
        } else {
            error = copyContent(source, writer, total, {}, abort);
        }
    }
    if (error != 0) {
        writer.abandon();
        return error;
    }
    if (!writer.commit(replace)) {
        return writer.error();
    }
    return 0;
}

}  // namespace pelmar
