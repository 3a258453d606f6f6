#include "backup/copy_names.h"

#include <sys/stat.h>

namespace pelmar {

std::string freeCopyName(const std::string& base, const std::string& extension) {
    for (int n = 1; n <= kMostCopyNumbers; ++n) {
        std::string candidate = base + " (copy " + std::to_string(n) + ")" + extension;
        struct stat info {};
        if (::lstat(candidate.c_str(), &info) != 0) {
            return candidate;
        }
    }
    return {};
}

}  // namespace pelmar
