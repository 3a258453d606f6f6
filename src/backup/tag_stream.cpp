#include "backup/tag_stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmar {

DescriptorStream::DescriptorStream(int fd, std::string name, std::size_t chunk)
    : fd_(fd), name_(std::move(name)), chunk_(std::max<std::size_t>(chunk, 1)) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        fail(errno);
    } else if (!S_ISREG(info.st_mode)) {
        fail(EINVAL);
    } else {
        size_ = static_cast<std::uint64_t>(info.st_size);
        blockSize_ = static_cast<std::uint64_t>(std::max<blksize_t>(info.st_blksize, 0));
    }
}

void DescriptorStream::fail(int error) {
    if (error_ == 0) {
        error_ = error == 0 ? EIO : error;
    }
}

void DescriptorStream::stop(int error) {
    fail(error);
    throw Stopped();
}

void DescriptorStream::tally() {
    if (++calls_ > kMostCalls) {
        stop(ELOOP);
    }
}

std::size_t DescriptorStream::readAt(char* to, std::size_t count, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, to + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail(errno);
            break;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void DescriptorStream::writeAt(const char* from, std::size_t count, std::uint64_t offset) {
    changed_ = true;
    if (error_ != 0) {
        stop(error_);
    }
    if (count > sizeLimit_ || offset > sizeLimit_ - count) {
        stop(EFBIG);
    }
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pwrite(fd_, from + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            stop(n < 0 ? errno : EIO);
        }
        done += static_cast<std::size_t>(n);
    }
    size_ = std::max(size_, offset + count);
}

TagLib::ByteVector DescriptorStream::readBlock(unsigned long length) {
    tally();
    // Lengths come from the file's own tags and may be anything: never ask for more memory than
    // the file has bytes left.
    const std::uint64_t left = position_ < size_ ? size_ - position_ : 0;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>({length, left, std::uint64_t{UINT_MAX}}));
    TagLib::ByteVector block(static_cast<unsigned int>(wanted), '\0');
    const std::size_t got = readAt(block.data(), wanted, position_);
    block.resize(static_cast<unsigned int>(got));
    position_ += got;
    return block;
}

void DescriptorStream::writeBlock(const TagLib::ByteVector& data) {
    tally();
    // Tags are written over what is there or after it, never beyond the end.
    if (position_ > size_) {
        stop(EINVAL);
    }
    if (position_ + data.size() > size_) {
        appended_ += position_ + data.size() - size_;
        if (appended_ > kMostAppended) {
            stop(EFBIG);
        }
    }
    writeAt(data.data(), data.size(), position_);
    position_ += data.size();
}

void DescriptorStream::move(std::uint64_t from, std::uint64_t to, std::uint64_t count) {
    if (from == to || count == 0) {
        return;
    }
    buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(chunk_, count)));
    // Moving towards the end, the last bytes go first, so that no byte is overwritten before it
    // has been moved; towards the start, the first bytes go first.
    std::uint64_t moved = 0;
    while (moved < count) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), count - moved));
        const std::uint64_t offset = to > from ? count - moved - n : moved;
        if (readAt(buffer_.data(), n, from + offset) != n) {
            stop(EIO);
        }
        writeAt(buffer_.data(), n, to + offset);
        moved += n;
    }
}

void DescriptorStream::insert(const TagLib::ByteVector& data, unsigned long start,
                              unsigned long replace) {
    tally();
    start = static_cast<unsigned long>(std::min<std::uint64_t>(start, size_));
    replace = static_cast<unsigned long>(std::min<std::uint64_t>(replace, size_ - start));
    const std::uint64_t tail = start + replace;
    const std::uint64_t newTail = start + data.size();
    const std::uint64_t oldSize = size_;
    if (newTail <= tail || !insertBlocks(start, newTail - tail)) {
        move(tail, newTail, oldSize - tail);
    }
    writeAt(data.data(), data.size(), start);
    if (newTail < tail) {
        truncate(static_cast<long>(oldSize - (tail - newTail)));
    }
    position_ = newTail;
}

bool DescriptorStream::insertBlocks(std::uint64_t at, std::uint64_t count) {
    if (blockSize_ == 0 || count % blockSize_ != 0 || at >= size_) {
        return false;
    }
    if (count > sizeLimit_ || size_ > sizeLimit_ - count) {
        stop(EFBIG);
    }
    const std::uint64_t blockStart = at - at % blockSize_;
    if (::fallocate(fd_, FALLOC_FL_INSERT_RANGE, static_cast<off_t>(blockStart),
                    static_cast<off_t>(count)) != 0) {
        return false;
    }
    changed_ = true;
    size_ += count;
    // The bytes between the block's start and `at` moved with the block; they stay before the gap.
    move(blockStart + count, blockStart, at - blockStart);
    return true;
}

void DescriptorStream::removeBlock(unsigned long start, unsigned long length) {
    insert(TagLib::ByteVector(), start, length);
    position_ = std::min<std::uint64_t>(start, size_);
}

void DescriptorStream::seek(long offset, Position p) {
    long base = 0;
    if (p == Current) {
        base = static_cast<long>(position_);
    } else if (p == End) {
        base = static_cast<long>(size_);
    }
    long target = 0;
    // A seek before the start fails and leaves the position, as a seek in a file would.
    if (__builtin_add_overflow(base, offset, &target) || target < 0) {
        return;
    }
    position_ = static_cast<std::uint64_t>(target);
}

void DescriptorStream::truncate(long length) {
    changed_ = true;
    if (error_ != 0) {
        stop(error_);
    }
    if (length < 0 || static_cast<std::uint64_t>(length) > std::min(size_, sizeLimit_)) {
        stop(EINVAL);
    }
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
        stop(errno);
    }
    size_ = static_cast<std::uint64_t>(length);
}

}  // namespace pelmar
