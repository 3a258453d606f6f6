#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pelmar {

// A forward-only reader over bytes the caller does not trust. Readers of player files take one,
// so that tests and fuzz targets can feed them memory and the program can feed them files.
class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Reads up to out.size() bytes; fewer means the end of the data or a read error.
    virtual std::size_t read(std::span<std::uint8_t> out) = 0;
    // Moves forward by `count` bytes; a skip past the end leaves the source at its end.
    virtual void skip(std::uint64_t count) = 0;
    [[nodiscard]] virtual std::uint64_t position() const = 0;
    [[nodiscard]] virtual std::uint64_t size() const = 0;
    // True once a read failed for a reason other than the end of the data.
    [[nodiscard]] virtual bool failed() const = 0;
    // The bytes from the position on, in place, for readers that would otherwise copy them out
    // a record at a time. At least `wanted` of them when that many are left and the source can
    // show them at once; fewer (none from a source that shows nothing) when not, and the reader
    // then uses read(). Does not move the position, and stays valid until the next read() or
    // peek(); skip() leaves it in place.
    [[nodiscard]] virtual std::span<const std::uint8_t> peek(std::size_t wanted);

    [[nodiscard]] std::uint64_t remaining() const {
        const std::uint64_t pos = position();
        const std::uint64_t total = size();
        return pos < total ? total - pos : 0;
    }
};

class MemoryByteSource final : public ByteSource {
  public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t read(std::span<std::uint8_t> out) override;
    void skip(std::uint64_t count) override;
    [[nodiscard]] std::uint64_t position() const override { return pos_; }
    [[nodiscard]] std::uint64_t size() const override { return bytes_.size(); }
    [[nodiscard]] bool failed() const override { return false; }
    [[nodiscard]] std::span<const std::uint8_t> peek(std::size_t wanted) override;

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace pelmar
