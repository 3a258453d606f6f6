#include "platform/player_path_open.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/path_lookup.h"

namespace pelmar {

PlayerPathFile openPlayerPath(const std::string& root, std::string_view relative) {
    PlayerPathFile file;
    const std::string path = findPathIgnoringCase(root, relative);
    file.fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.fd) {
        file.error = errno;
        file.status = errno == ENOENT ? PlayerPathStatus::Missing : PlayerPathStatus::Failed;
        return file;
    }
    struct stat info {};
    if (::fstat(file.fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.fd.reset();
        file.status = PlayerPathStatus::NotRegularFile;
        return file;
    }
    // Reads are to wait for the disk as usual.
    ::fcntl(file.fd.get(), F_SETFL, O_RDONLY);
    file.status = PlayerPathStatus::Opened;
    return file;
}

bool playerFileExists(const std::string& root, std::string_view relative) {
    return openPlayerPath(root, relative).status == PlayerPathStatus::Opened;
}

}  // namespace pelmar
