#pragma once

#include <string>

namespace pelmar {

// Creates the folder `path` ("/"-separated, a trailing "/" allowed) and every missing parent.
// Never tries to create "/" itself. A path of PATH_MAX bytes or more creates nothing, so the
// caller's next file operation fails instead of acting on a shortened path. Errors ("already
// exists" among them) are ignored; whether the folder exists afterwards is for the caller to see.
void MakeDirectoryPath(const std::string& path);

}  // namespace pelmar
