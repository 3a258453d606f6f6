#include "util/byte_source.h"

#include <algorithm>
#include <cstring>

namespace pelmar {

std::span<const std::uint8_t> ByteSource::peek(std::size_t /*wanted*/) {
    return {};
}

std::size_t MemoryByteSource::read(std::span<std::uint8_t> out) {
    const std::size_t n = std::min(out.size(), bytes_.size() - pos_);
    if (n > 0) {
        std::memcpy(out.data(), bytes_.data() + pos_, n);
    }
    pos_ += n;
    return n;
}

std::span<const std::uint8_t> MemoryByteSource::peek(std::size_t /*wanted*/) {
    return bytes_.subspan(pos_);
}

void MemoryByteSource::skip(std::uint64_t count) {
    pos_ += static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes_.size() - pos_));
}

}  // namespace pelmar
