#pragma once

#include <string>
#include <string_view>

#include <dirent.h>

namespace pelmar {

// Whether `a` and `b` are the same bytes once ASCII letters are taken without case. Bytes above
// 0x7F compare as they are, whatever the locale: names on the player are UTF-8.
[[nodiscard]] bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// The entry of the open folder listing `dir` whose name equals `name` without regard to ASCII
// case, or empty; reads `dir` from where it stands and closes it.
[[nodiscard]] std::string takeEntryIgnoringCase(DIR* dir, std::string_view name);

// The path of `relative` ("a/b/c") under `root` (ending in "/"). Players are formatted with file
// systems that ignore case, but a copy of one may sit on a file system that does not; when the
// exact path does not exist, each component is matched without regard to ASCII case. Returns the
// exact path when no match exists either, so the caller's open fails as it would have.
[[nodiscard]] std::string findPathIgnoringCase(const std::string& root, std::string_view relative);

}  // namespace pelmar
