#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include <taglib/tiostream.h>

namespace pelmar {

// The tag library's view of a file the caller holds open for reading and writing. The copy being
// tagged is a temporary file that has no name of its own worth opening again, and writing through
// the descriptor keeps every failure here, where it is seen: the library itself ignores failed
// writes and carries on.
//
// It does not carry on here. A failed write, a write that would grow the file past its limit,
// leave a hole in it or append more than a small tag, and more calls than any real file needs
// throw Stopped out of the library, which on damaged tags can otherwise loop for billions of
// steps writing gigabytes.
class DescriptorStream final : public TagLib::IOStream {
  public:
    static constexpr std::size_t kDefaultChunk = std::size_t{1} << 20;
    // Far more reads and writes than the largest real file takes to be read and tagged.
    static constexpr std::uint64_t kMostCalls = 4'000'000;
    // The tag library appends with plain writes only small tags (ID3v1 has 128 bytes); whatever
    // grows the file by more goes through insert().
    static constexpr std::uint64_t kMostAppended = std::uint64_t{64} << 10;

    struct Stopped : std::exception {
        [[nodiscard]] const char* what() const noexcept override { return "tag stream stopped"; }
    };

    // `name` is what the library is told the file is called (it looks at the extension); `chunk`
    // is the most bytes moved at once when a tag grows or shrinks in the middle of the file.
    DescriptorStream(int fd, std::string name, std::size_t chunk = kDefaultChunk);

    TagLib::FileName name() const override { return name_.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return false; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p = Beginning) override;
    void clear() override {}
    long tell() const override { return static_cast<long>(position_); }
    long length() override { return static_cast<long>(size_); }
    void truncate(long length) override;

    // Writes that would make the file larger than `bytes` fail with EFBIG.
    void limitSize(std::uint64_t bytes) { sizeLimit_ = bytes; }
    [[nodiscard]] std::uint64_t size() const { return size_; }
    // The file system's block: a tag that grows by whole blocks moves the rest of the file by
    // moving blocks, where the file system can, instead of writing it all again.
    [[nodiscard]] std::uint64_t blockSize() const { return blockSize_; }

    // The errno value of the first failed read or write; 0 when none failed.
    [[nodiscard]] int error() const { return error_; }
    // True once anything was written, even a write that then failed: the file may then differ
    // from what it was.
    [[nodiscard]] bool changed() const { return changed_; }

  private:
    std::size_t readAt(char* to, std::size_t count, std::uint64_t offset);
    void writeAt(const char* from, std::size_t count, std::uint64_t offset);
    // Moves the `count` bytes at `from` to `to`, in either direction, overlapping or not.
    void move(std::uint64_t from, std::uint64_t to, std::uint64_t count);
    // Opens a gap of `count` bytes at `at` by inserting blocks; false when the file system cannot,
    // or the gap is not a whole number of blocks.
    bool insertBlocks(std::uint64_t at, std::uint64_t count);
    void fail(int error);
    [[noreturn]] void stop(int error);
    void tally();

    int fd_;
    std::string name_;
    std::size_t chunk_;
    std::vector<char> buffer_;
    std::uint64_t size_ = 0;
    std::uint64_t blockSize_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t sizeLimit_ = UINT64_MAX;
    std::uint64_t calls_ = 0;
    std::uint64_t appended_ = 0;
    int error_ = 0;
    bool changed_ = false;
};

}  // namespace pelmar
