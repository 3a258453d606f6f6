#pragma once

#include <string>
#include <string_view>

namespace pelmar {

// Case-folded copy of UTF-8 text, for comparisons without regard to case. Bytes that are not
// valid UTF-8 are kept as they are, so such texts still compare as bytes.
[[nodiscard]] std::string caseFold(std::string_view utf8);

// Lower-cased copy of UTF-8 text; invalid bytes are kept as they are.
[[nodiscard]] std::string toLowerUtf8(std::string_view utf8);

// Appends the lower-cased form of `utf8` to `out`; the allocation-free variant for hot loops.
void appendLowerUtf8(std::string& out, std::string_view utf8);

}  // namespace pelmar
