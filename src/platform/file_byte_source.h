#pragma once

#include <future>
#include <memory>
#include <string>

#include "util/byte_source.h"
#include "util/unique_fd.h"

namespace pelmar {

// Buffered, read-only file reader. The file is opened for reading only, so the player is never
// written through it.
//
// While the reader works through one block, a second thread reads the block after it, so that a
// large database is decoded while it is still being read instead of after each block arrives.
class FileByteSource final : public ByteSource {
  public:
    static constexpr std::size_t kBlockSize = std::size_t{4} << 20;

    // Null when the file cannot be opened or is not a regular file.
    [[nodiscard]] static std::unique_ptr<FileByteSource> open(const std::string& path);
    // Reads the open file `fd` from its start; null when it is not a regular file.
    [[nodiscard]] static std::unique_ptr<FileByteSource> adopt(UniqueFd fd);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::size_t read(std::span<std::uint8_t> out) override;
    void skip(std::uint64_t count) override;
    [[nodiscard]] std::uint64_t position() const override { return position_; }
    [[nodiscard]] std::uint64_t size() const override { return size_; }
    [[nodiscard]] bool failed() const override { return failed_; }
    [[nodiscard]] std::span<const std::uint8_t> peek(std::size_t wanted) override;

  private:
    // A block of the file with room before it, so that the end of the block before can be put
    // in front of it when a record runs across the two.
    struct Block {
        std::unique_ptr<std::uint8_t[]> storage;
        std::uint64_t start = 0;
        std::size_t length = 0;  // 0 when the read found nothing or failed
    };

    FileByteSource(int fd, std::uint64_t size);
    static Block readBlock(int fd, std::uint64_t start, std::unique_ptr<std::uint8_t[]> storage);
    bool refill();
    bool takeBlockAhead();
    void startBlockAhead();

    int fd_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    // File offset of data_[0]; the buffer holds [bufferStart_, bufferStart_ + bufferLength_).
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    const std::uint8_t* data_ = nullptr;
    Block current_;
    // The block after the buffer, being read; its storage comes back with it.
    std::future<Block> ahead_;
    std::unique_ptr<std::uint8_t[]> spare_;
    bool failed_ = false;
};

}  // namespace pelmar
