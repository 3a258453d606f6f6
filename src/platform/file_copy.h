#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace pelmar {

// Told how many of a file's bytes have been copied so far, after every chunk.
using CopyProgress = std::function<void(std::uint64_t totalBytes, std::uint64_t copiedBytes)>;

// Copies `source` to `destination` as a complete file or not at all: the bytes go to a temporary
// file beside the destination, which is renamed onto it only when complete. With `replace` an
// existing destination is replaced in that last step; without it an existing destination is
// never touched and the copy fails with EEXIST. `abort` (may be null) is looked at between
// chunks: once it is true the copy stops and leaves nothing behind (ECANCELED).
// Returns 0, or the errno value of the failure.
int copyFileAtomically(const std::string& source, const std::string& destination, bool replace,
                       const CopyProgress& progress, const std::atomic<bool>* abort = nullptr);

// The same from a file the caller opened for reading, read from its current offset.
int copyOpenFileAtomically(int source, const std::string& destination, bool replace,
                           const CopyProgress& progress, const std::atomic<bool>* abort = nullptr);

}  // namespace pelmar
