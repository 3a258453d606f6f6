#include "util/make_directory_path.h"

#include <climits>

#include <sys/stat.h>

namespace pelmar {

void MakeDirectoryPath(const std::string& path) {
    if (path.empty() || path.size() >= PATH_MAX) {
        return;
    }
    // Each parent in turn, from the top; a slash at position 0 is the root, never created.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        if (path[slash - 1] != '/') {
            ::mkdir(path.substr(0, slash).c_str(), 0777);
        }
    }
    if (path.back() != '/') {
        ::mkdir(path.c_str(), 0777);
    }
}

}  // namespace pelmar
