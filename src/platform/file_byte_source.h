#pragma once

#include <memory>
#include <string>
#include <vector>

#include "util/byte_source.h"
#include "util/unique_fd.h"

namespace pelmar {

// Buffered, read-only file reader. The file is opened for reading only, so the player is never
// written through it.
class FileByteSource final : public ByteSource {
  public:
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
    FileByteSource(int fd, std::uint64_t size);
    bool refill();

    int fd_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    // File offset of buffer_[0]; the buffer holds [bufferStart_, bufferStart_ + bufferLength_).
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    std::vector<std::uint8_t> buffer_;
    bool failed_ = false;
};

}  // namespace pelmar
