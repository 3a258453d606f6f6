#include "platform/descriptor_path.h"

namespace pelmar {

std::string descriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace pelmar
