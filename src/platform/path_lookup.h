#pragma once

#include <string>
#include <string_view>

namespace pelmar {

// The path of `relative` ("a/b/c") under `root` (ending in "/"). Players are formatted with file
// systems that ignore case, but a copy of one may sit on a file system that does not; when the
// exact path does not exist, each component is matched without regard to ASCII case. Returns the
// exact path when no match exists either, so the caller's open fails as it would have.
[[nodiscard]] std::string findPathIgnoringCase(const std::string& root, std::string_view relative);

}  // namespace pelmar
