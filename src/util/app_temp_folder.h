#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "util/unique_fd.h"

namespace pelmar {

class SettingsStore;

// The program's own temporary folder, with `subfolder` below it when that is not empty; both
// created. The folder is private to the user, so no other user can plant a link where the
// program will write: a real folder (not a symbolic link) that the user owns, mode 0700. It is
// "pelmar-vantrell" in the user's temporary home, or a fresh "pelmar-vantrell-XXXXXX" beside it
// when that name is taken by something not private; its path is remembered in the
// "Gen_TempPath" setting and made up again when what is stored there no longer qualifies, so a
// folder named by an older version goes on being used while it qualifies. The text uses "/" and
// ends in "/". Empty when no private folder could be made.
[[nodiscard]] std::string appTempFolder(SettingsStore& settings, std::string_view subfolder);

// The same, with `home` in place of the user's temporary home.
[[nodiscard]] std::string appTempFolder(SettingsStore& settings, const std::filesystem::path& home,
                                        std::string_view subfolder);

// True when `path` (a trailing "/" allowed) is a real folder owned by this user with mode 0700.
[[nodiscard]] bool isPrivateFolder(std::string_view path);

// Opens `path` for writing, truncated, created with mode 0600 when missing, never through a
// symbolic link and only when it is a regular file. Empty on failure.
[[nodiscard]] UniqueFd openPrivateFileForWriting(const std::string& path);

}  // namespace pelmar
