#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelmar {

// The Blowfish key of the protected literals, shared by the build-time tool that enciphers them
// and the store that deciphers them. It keeps the texts out of a plain look at the program file;
// it is no secret from anyone who reads this source.
inline constexpr std::array<std::uint8_t, 16> kLiteralKey{
    0xbc, 0xe4, 0xaa, 0xd8, 0x80, 0x5f, 0xb3, 0x78, 0x43, 0xb9, 0x0f, 0xd2, 0x55, 0xc6, 0x2d, 0xa4};

// A protected literal is one count byte (blocks, low 7 bits), two bytes the decipher ignores,
// then the cipher blocks.
inline constexpr std::size_t kLiteralHeaderSize = 3;
inline constexpr std::size_t kLiteralBlockSize = 8;
inline constexpr std::size_t kLiteralMaxBlocks = 0x7F;

}  // namespace pelmar
