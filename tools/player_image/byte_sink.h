#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace pelmar::player_image {

// Where serialized records go. A record's total length is known only after its children are
// written, so four bytes already written can be replaced.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void append(std::span<const std::uint8_t> bytes) = 0;
    virtual void patchU32(std::uint64_t offset, std::uint32_t value) = 0;
    [[nodiscard]] virtual std::uint64_t size() const = 0;
};

class MemorySink final : public ByteSink {
  public:
    void append(std::span<const std::uint8_t> bytes) override;
    void patchU32(std::uint64_t offset, std::uint32_t value) override;
    [[nodiscard]] std::uint64_t size() const override { return bytes_.size(); }
    [[nodiscard]] std::vector<std::uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Streams to a file through a large buffer, so that a 500,000-track database never sits in
// memory. Patches that fall in the buffer cost nothing; older ones seek.
class FileSink final : public ByteSink {
  public:
    explicit FileSink(const std::filesystem::path& path);
    void append(std::span<const std::uint8_t> bytes) override;
    void patchU32(std::uint64_t offset, std::uint32_t value) override;
    [[nodiscard]] std::uint64_t size() const override { return flushed_ + buffer_.size(); }
    // Writes what is buffered and closes the file; false if anything failed.
    [[nodiscard]] bool finish();

  private:
    void flush();

    std::ofstream out_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t flushed_ = 0;
};

}  // namespace pelmar::player_image
