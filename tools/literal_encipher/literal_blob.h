#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pelmar {

// The protected-literal blob of `text`: the block count, the text's length in two bytes (little
// endian; the decipher ignores them), then the text padded with NULs to whole blocks and
// enciphered block by block. `text` holds no NUL and fits 127 blocks (the table reader checks).
[[nodiscard]] std::vector<std::uint8_t> encipherLiteral(std::string_view text);

}  // namespace pelmar
