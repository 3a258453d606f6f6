#include "platform/file_byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar {

namespace {
constexpr std::size_t kBufferSize = std::size_t{1} << 20;
}

std::unique_ptr<FileByteSource> FileByteSource::open(const std::string& path) {
    return adopt(UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)));
}

std::unique_ptr<FileByteSource> FileByteSource::adopt(UniqueFd fd) {
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::unique_ptr<FileByteSource>(
        new FileByteSource(fd.release(), static_cast<std::uint64_t>(info.st_size)));
}

FileByteSource::FileByteSource(int fd, std::uint64_t size)
    : fd_(fd), size_(size), buffer_(kBufferSize) {}

FileByteSource::~FileByteSource() {
    ::close(fd_);
}

bool FileByteSource::refill() {
    bufferStart_ = position_;
    bufferLength_ = 0;
    while (true) {
        const ssize_t n =
            ::pread(fd_, buffer_.data(), buffer_.size(), static_cast<off_t>(position_));
        if (n >= 0) {
            bufferLength_ = static_cast<std::size_t>(n);
            return n > 0;
        }
        if (errno != EINTR) {
            failed_ = true;
            return false;
        }
    }
}

std::size_t FileByteSource::read(std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size() && !failed_) {
        if (position_ < bufferStart_ || position_ >= bufferStart_ + bufferLength_) {
            if (!refill()) {
                break;
            }
        }
        const auto offset = static_cast<std::size_t>(position_ - bufferStart_);
        const std::size_t n = std::min(out.size() - done, bufferLength_ - offset);
        std::memcpy(out.data() + done, buffer_.data() + offset, n);
        done += n;
        position_ += n;
    }
    return done;
}

std::span<const std::uint8_t> FileByteSource::peek(std::size_t wanted) {
    // After a failed read, read() gives nothing more, and neither does this.
    if (failed_) {
        return {};
    }
    // A file that grew since it was opened shows no more than read() and skip() allow for.
    std::uint64_t end = std::min(bufferStart_ + bufferLength_, size_);
    const bool inBuffer = position_ >= bufferStart_ && position_ < end;
    if (!inBuffer || (end - position_ < wanted && end < size_)) {
        // Refilled from the position, the buffer shows as much of the rest as it holds.
        if (position_ >= size_) {
            return {};
        }
        // A failure is left for the read that follows to meet, so that a source fails only
        // where reading it fails.
        if (!refill()) {
            failed_ = false;
            return {};
        }
        end = std::min(bufferStart_ + bufferLength_, size_);
    }
    return {buffer_.data() + (position_ - bufferStart_), static_cast<std::size_t>(end - position_)};
}

void FileByteSource::skip(std::uint64_t count) {
    position_ += std::min(count, size_ > position_ ? size_ - position_ : 0);
}

}  // namespace pelmar
