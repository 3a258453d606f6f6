#pragma once

#include <string>

namespace pelmar {

// A path that opens the file `fd` already has open, for libraries that take only names: the
// file is then the one the caller checked, whatever its own path leads to by now.
[[nodiscard]] std::string descriptorPath(int fd);

}  // namespace pelmar
