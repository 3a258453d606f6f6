#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelmar {

// A text kept in the program only in enciphered form. `size` bounds every read, whatever the
// blob's own count byte claims.
struct ProtectedLiteral {
    const std::uint8_t* bytes;
    std::size_t size;
};

// The text of an enciphered blob: up to its first NUL. Blocks the count byte claims but the blob
// does not hold read as NUL, so a short blob gives at most what it holds. An empty blob gives "".
[[nodiscard]] std::string decipherLiteral(std::span<const std::uint8_t> blob);

// The NUL-terminated text of `literal`, deciphered on the first call and the same pointer on
// every later call for the same blob, from any thread. The text lives until the process ends;
// the caller must not free or change it.
[[nodiscard]] const char* reveal(const ProtectedLiteral& literal);

}  // namespace pelmar
