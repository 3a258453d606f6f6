#pragma once

#include <cstdint>
#include <span>

#include "util/byte_source.h"

namespace pelmar::test {

// Gives its bytes only by copying them out, as sources that cannot show them in place do, so
// that readers can be checked to read such sources as they read memory.
class CopyingSource final : public ByteSource {
  public:
    explicit CopyingSource(std::span<const std::uint8_t> bytes) : memory_(bytes) {}
    std::size_t read(std::span<std::uint8_t> out) override { return memory_.read(out); }
    void skip(std::uint64_t count) override { memory_.skip(count); }
    [[nodiscard]] std::uint64_t position() const override { return memory_.position(); }
    [[nodiscard]] std::uint64_t size() const override { return memory_.size(); }
    [[nodiscard]] bool failed() const override { return false; }

  private:
    MemoryByteSource memory_;
};

}  // namespace pelmar::test
