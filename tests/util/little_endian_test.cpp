#include "util/little_endian.h"

#include <gtest/gtest.h>

#include <array>

namespace pelmar {
namespace {

TEST(LittleEndian, FieldsReadInsideAndPastTheEndOfTheBuffer) {
    const std::array<std::uint8_t, 5> bytes = {0x01, 0x02, 0x03, 0x04, 0x85};
    const std::span<const std::uint8_t> b(bytes);
    struct Case {
        std::size_t offset;
        std::uint32_t u32;
        std::uint16_t u16;
        std::uint8_t u8;
    };
    // Bytes beyond the buffer read as zero, also within a field that starts inside it.
    for (const Case& c : {Case{0, 0x04030201u, 0x0201, 0x01}, Case{1, 0x85040302u, 0x0302, 0x02},
                          Case{2, 0x00850403u, 0x0403, 0x03}, Case{4, 0x00000085u, 0x0085, 0x85},
                          Case{5, 0, 0, 0}, Case{1000, 0, 0, 0}}) {
        EXPECT_EQ(readU32le(b, c.offset), c.u32) << c.offset;
        EXPECT_EQ(readU16le(b, c.offset), c.u16) << c.offset;
        EXPECT_EQ(readU8(b, c.offset), c.u8) << c.offset;
    }
    EXPECT_EQ(readLe<std::uint64_t>(b, 0), 0x8504030201u);
    EXPECT_EQ(readU32le({}, 0), 0u);
}

}  // namespace
}  // namespace pelmar
