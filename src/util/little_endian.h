#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace pelmar {

// readLe byte by byte: for fields that end outside the buffer, and on big-endian hosts.
template <typename T>
[[nodiscard]] T readLeClipped(std::span<const std::uint8_t> b, std::size_t offset) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        if (offset < b.size() && i < b.size() - offset) {
            value =
                static_cast<T>(value | static_cast<T>(static_cast<T>(b[offset + i]) << (8 * i)));
        }
    }
    return value;
}

// Little-endian field of a record buffer. Bytes of the field that lie outside the buffer read
// as zero, as they would from a header shorter than the field's offset.
template <typename T>
[[nodiscard]] inline T readLe(std::span<const std::uint8_t> b, std::size_t offset) {
    // The usual case, a field wholly inside the buffer, is a single load on little-endian hosts.
    if constexpr (std::endian::native == std::endian::little) {
        if (offset <= b.size() && sizeof(T) <= b.size() - offset) {
            T value;
            std::memcpy(&value, b.data() + offset, sizeof(T));
            return value;
        }
    }
    return readLeClipped<T>(b, offset);
}

[[nodiscard]] inline std::uint32_t readU32le(std::span<const std::uint8_t> b, std::size_t offset) {
    return readLe<std::uint32_t>(b, offset);
}

[[nodiscard]] inline std::uint16_t readU16le(std::span<const std::uint8_t> b, std::size_t offset) {
    return readLe<std::uint16_t>(b, offset);
}

[[nodiscard]] inline std::uint8_t readU8(std::span<const std::uint8_t> b, std::size_t offset) {
    return readLe<std::uint8_t>(b, offset);
}

}  // namespace pelmar
