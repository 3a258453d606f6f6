#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace pelmar {

// Told how many of a file's bytes have been copied so far, after every chunk.
using CopyProgress = std::function<void(std::uint64_t totalBytes, std::uint64_t copiedBytes)>;

// What became of the caller's work on a complete copy, before it is renamed into place.
enum class CopyFinish {
    Keep,    // the temporary file goes into place as it now is
    Recopy,  // the work failed after changing the file: an untouched copy goes into place instead
};

// Works on the complete temporary copy, open for reading and writing on `fd`.
using CopyFinisher = std::function<CopyFinish(int fd)>;

// Copies `source` to `destination` as a complete file or not at all: the bytes go to a temporary
// file beside the destination, which is renamed onto it only when complete. With `replace` an
// existing destination is replaced in that last step; without it an existing destination is
// never touched and the copy fails with EEXIST. `abort` (may be null) is looked at between
// chunks: once it is true the copy stops and leaves nothing behind (ECANCELED).
// Returns 0, or the errno value of the failure.
int copyFileAtomically(const std::string& source, const std::string& destination, bool replace,
                       const CopyProgress& progress, const std::atomic<bool>* abort = nullptr);

// The same from a file the caller opened for reading, read from its current offset. `finish`
// (may be empty) is given the complete copy before it goes into place; when it asks for a
// recopy, the source is read again from the same offset into the emptied temporary file.
int copyOpenFileAtomically(int source, const std::string& destination, bool replace,
                           const CopyProgress& progress, const std::atomic<bool>* abort = nullptr,
                           const CopyFinisher& finish = {});

}  // namespace pelmar
