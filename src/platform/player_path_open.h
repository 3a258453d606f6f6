#pragma once

#include <string>
#include <string_view>

#include "util/unique_fd.h"

namespace pelmar {

// How opening a file of the player ended.
enum class PlayerPathStatus {
    Opened,
    Missing,         // no such file, whatever the case of its path's components
    LeadsOutside,    // a symbolic link (or "..") on the way leads outside the root, or in a loop
    NotRegularFile,  // a folder, a device, a FIFO or a socket
    Failed,          // any other failure; `error` says which
};

struct PlayerPathFile {
    UniqueFd fd;
    PlayerPathStatus status = PlayerPathStatus::Missing;
    int error = 0;  // the errno value behind Missing and Failed
};

// Opens `relative` ("a/b/c") below the player's `root` (ending in "/") for reading only. Each
// component is matched exactly first and then without regard to ASCII case, since copies of a
// player may sit on a case-sensitive file system. No component, the last one included, is
// followed through a symbolic link that leads outside `root`: links with relative targets that
// stay inside are followed, while absolute targets, ".." above the root and link loops count as
// leading outside. Only regular files open, without blocking on a FIFO in the file's place.
// Safe to call from several threads at once.
[[nodiscard]] PlayerPathFile openPlayerPath(const std::string& root, std::string_view relative);

// Whether openPlayerPath would open the file.
[[nodiscard]] bool playerFileExists(const std::string& root, std::string_view relative);

}  // namespace pelmar
