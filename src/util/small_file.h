#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmar {

struct SmallFile {
    enum class State {
        Missing,     // nothing at the path
        Unreadable,  // something is there, but not a regular file this process can read
        TooLarge,    // a regular file larger than the caller accepts; `bytes` is empty
        Read,        // `bytes` holds the whole file
    };
    State state = State::Missing;
    std::string bytes;
};

// Reads a regular file of at most `maxBytes` whole. Never blocks on a FIFO or a device.
[[nodiscard]] SmallFile readSmallFile(const std::filesystem::path& path, std::size_t maxBytes);

// Replaces `path` by a file holding `bytes`, so that at every moment, a crash included, the path
// names either the old file whole or the new one whole: the bytes go to a temporary file beside
// it (mode 0600), reach the disk, and the temporary file is renamed over `path`. Returns false,
// with the old file untouched and no temporary file left, when any step fails.
[[nodiscard]] bool replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace pelmar
