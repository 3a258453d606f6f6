#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "util/byte_source.h"

namespace pelmar {

// A growing run of bytes kept in fixed-size chunks, so that growing it never copies what it
// already holds: a database inflated into it costs little more than its own size at the peak.
class ChunkedBytes {
  public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    [[nodiscard]] std::uint64_t size() const { return size_; }

    // Writable room after the last byte, at most `atMost` bytes and never empty unless `atMost`
    // is 0; what is written there counts once commit() is called.
    [[nodiscard]] std::span<std::uint8_t> room(std::size_t atMost);
    void commit(std::size_t count);
    void append(std::span<const std::uint8_t> bytes);

    // Copies up to out.size() bytes from `offset`; returns how many there were.
    std::size_t copyOut(std::uint64_t offset, std::span<std::uint8_t> out) const;
    // The bytes from `offset` to the end of the chunk that holds it, in place; none at the end.
    [[nodiscard]] std::span<const std::uint8_t> chunkFrom(std::uint64_t offset) const;

  private:
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::uint64_t size_ = 0;
};

// Reads ChunkedBytes from their start; the bytes must outlive the source.
class ChunkedByteSource final : public ByteSource {
  public:
    explicit ChunkedByteSource(const ChunkedBytes& bytes) : bytes_(bytes) {}

    std::size_t read(std::span<std::uint8_t> out) override;
    void skip(std::uint64_t count) override;
    [[nodiscard]] std::uint64_t position() const override { return position_; }
    [[nodiscard]] std::uint64_t size() const override { return bytes_.size(); }
    [[nodiscard]] bool failed() const override { return false; }
    // Up to the end of the current chunk: a record across two chunks is read as a copy.
    [[nodiscard]] std::span<const std::uint8_t> peek(std::size_t wanted) override;

  private:
    const ChunkedBytes& bytes_;
    std::uint64_t position_ = 0;
};

}  // namespace pelmar
