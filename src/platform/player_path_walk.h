#pragma once

#include <optional>
#include <string_view>

#include "platform/player_path_open.h"

// The two ways openPlayerPath resolves a path below the player's root. They are apart so that
// tests can hold both to the same cases; everything else calls openPlayerPath.
namespace pelmar::player_path {

// Whether this kernel resolves paths beneath a folder by itself (openat2 with RESOLVE_BENEATH).
[[nodiscard]] bool kernelResolvesBeneath();

// Opens `relative` below the folder `rootFd` with the kernel's own confined lookup, matching
// names exactly. Nothing when that cannot settle it: the kernel lacks the call, or the file was
// not found as spelt (it may exist in another case).
[[nodiscard]] std::optional<PlayerPathFile> openBeneath(int rootFd, std::string_view relative);

// Opens `relative` below the folder `rootFd` one component at a time, never following a link
// without looking at it first: each name is matched exactly, then without regard to ASCII case,
// and a link is followed only while its target stays below the root.
[[nodiscard]] PlayerPathFile openByWalk(int rootFd, std::string_view relative);

// The outcome for a failed open's errno value: Missing for names that are not there, Failed
// for the rest.
[[nodiscard]] PlayerPathFile failure(int error);

// Takes `fd`, freshly opened without blocking, as the answer once it is a regular file.
[[nodiscard]] PlayerPathFile acceptRegularFile(UniqueFd fd);

}  // namespace pelmar::player_path
