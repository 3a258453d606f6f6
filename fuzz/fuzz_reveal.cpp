#include <cstddef>
#include <cstdint>
#include <string>

#include "util/literal_store.h"

// Deciphers the input as a protected-literal blob whose count byte may claim anything.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = pelmar::decipherLiteral({data, size});
    if (text.find('\0') != std::string::npos || text.size() > 127 * 8) {
        __builtin_trap();
    }
    return 0;
}
