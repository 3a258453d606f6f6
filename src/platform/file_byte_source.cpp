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
    const bool inBuffer = position_ >= bufferStart_ && position_ < bufferStart_ + bufferLength_;
    std::size_t held =
        inBuffer ? static_cast<std::size_t>(bufferStart_ + bufferLength_ - position_) : 0;
    const std::uint64_t left = size_ > position_ ? size_ - position_ : 0;
    // Refilled from the position, the buffer shows as much of the rest as it holds.
    if (held < wanted && held < left) {
        if (!refill()) {
            return {};
        }
        held = bufferLength_;
    }
    // A file that grew since it was opened shows no more than read() and skip() allow for.
    held = static_cast<std::size_t>(std::min<std::uint64_t>(held, left));
    if (held == 0) {
        return {};
    }
    return std::span<const std::uint8_t>(buffer_).subspan(
        static_cast<std::size_t>(position_ - bufferStart_), held);
}

void FileByteSource::skip(std::uint64_t count) {
    position_ += std::min(count, size_ > position_ ? size_ - position_ : 0);
}

}  // namespace pelmar
