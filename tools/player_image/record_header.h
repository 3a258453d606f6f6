#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pelmar::player_image {

inline constexpr std::uint32_t kLargestHeader = 1024;

// The header of one record: four-letter tag, header length at +4, the rest zero until set.
// Lives on the stack, since millions of them are written.
class RecordHeader {
  public:
    RecordHeader(std::string_view tag, std::uint32_t length)
        : length_(std::min(length, kLargestHeader)) {
        std::fill_n(bytes_.begin(), length_, std::uint8_t{0});
        std::copy_n(tag.begin(), std::min<std::size_t>(tag.size(), 4), bytes_.begin());
        set32(4, length_);
    }

    // Fields that lie beyond the header's length are left out, as older, shorter headers do.
    void set8(std::size_t offset, std::uint8_t value) { setBytes(offset, value, 1); }
    void set16(std::size_t offset, std::uint16_t value) { setBytes(offset, value, 2); }
    void set32(std::size_t offset, std::uint32_t value) { setBytes(offset, value, 4); }
    void set64(std::size_t offset, std::uint64_t value) { setBytes(offset, value, 8); }

    [[nodiscard]] std::span<const std::uint8_t> bytes() const { return {bytes_.data(), length_}; }

  private:
    void setBytes(std::size_t offset, std::uint64_t value, std::size_t width) {
        for (std::size_t i = 0; i < width && offset + i < length_; ++i) {
            bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    std::array<std::uint8_t, kLargestHeader> bytes_;
    std::uint32_t length_;
};

}  // namespace pelmar::player_image
