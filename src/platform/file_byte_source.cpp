#include "platform/file_byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar {

namespace {

// Records are small: a record running across two blocks is rarely longer than this.
constexpr std::size_t kHeadroom = std::size_t{64} << 10;

std::unique_ptr<std::uint8_t[]> blockStorage() {
    // Left uninitialised: only what a read fills is ever shown.
    return std::unique_ptr<std::uint8_t[]>(
        new std::uint8_t[kHeadroom + FileByteSource::kBlockSize]);
}

// One block's worth from `offset`, as pread gives it, read again when a signal cut it short.
ssize_t readAt(int fd, std::uint8_t* into, std::uint64_t offset) {
    while (true) {
        const ssize_t n = ::pread(fd, into, FileByteSource::kBlockSize, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

}  // namespace

// Reads one block on the second thread. A failed read leaves it empty, for the reader to read
// again itself, so that the source fails only where reading it fails.
FileByteSource::Block FileByteSource::readBlock(int fd, std::uint64_t start,
                                                std::unique_ptr<std::uint8_t[]> storage) {
    Block block{std::move(storage), start, 0};
    const ssize_t n = readAt(fd, block.storage.get() + kHeadroom, start);
    block.length = n > 0 ? static_cast<std::size_t>(n) : 0;
    return block;
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
    : fd_(fd), size_(size), current_{blockStorage(), 0, 0} {}

FileByteSource::~FileByteSource() {
    // The second thread reads through the descriptor until its block is done.
    if (ahead_.valid()) {
        ahead_.wait();
    }
    ::close(fd_);
}

bool FileByteSource::takeBlockAhead() {
    if (!ahead_.valid()) {
        return false;
    }
    Block block = ahead_.get();
    const std::uint64_t end = block.start + block.length;
    // The block starts where the buffer ends, so a position short of it is still in the buffer.
    const bool usable = block.length > 0 && position_ < end &&
                        (position_ >= block.start ||
                         (position_ >= bufferStart_ && block.start - position_ <= kHeadroom &&
                          bufferStart_ + bufferLength_ == block.start));
    if (!usable) {
        spare_ = std::move(block.storage);
        return false;
    }
    std::uint8_t* const blockData = block.storage.get() + kHeadroom;
    std::size_t tail = 0;
    if (position_ < block.start) {
        tail = static_cast<std::size_t>(block.start - position_);
        std::memcpy(blockData - tail, data_ + (position_ - bufferStart_), tail);
    }
    spare_ = std::move(current_.storage);
    current_ = std::move(block);
    data_ = blockData - tail;
    bufferStart_ = current_.start - tail;
    bufferLength_ = current_.length + tail;
    return true;
}

void FileByteSource::startBlockAhead() {
    const std::uint64_t next = bufferStart_ + bufferLength_;
    if (ahead_.valid() || next >= size_) {
        return;
    }
    if (!spare_) {
        spare_ = blockStorage();
    }
    try {
        ahead_ = std::async(std::launch::async, &FileByteSource::readBlock, fd_, next,
                            std::move(spare_));
    } catch (const std::system_error&) {
        // Without a second thread, each block is read when it is needed.
    }
}

bool FileByteSource::refill() {
    if (!takeBlockAhead()) {
        bufferStart_ = position_;
        bufferLength_ = 0;
        data_ = current_.storage.get() + kHeadroom;
        const ssize_t n = readAt(fd_, current_.storage.get() + kHeadroom, position_);
        if (n <= 0) {
            failed_ = failed_ || n < 0;
            return false;
        }
        bufferLength_ = static_cast<std::size_t>(n);
    }
    startBlockAhead();
    return true;
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
        std::memcpy(out.data() + done, data_ + offset, n);
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
    return {data_ + (position_ - bufferStart_), static_cast<std::size_t>(end - position_)};
}

void FileByteSource::skip(std::uint64_t count) {
    position_ += std::min(count, size_ > position_ ? size_ - position_ : 0);
}

}  // namespace pelmar
