#include "util/small_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/unique_fd.h"

namespace pelmar {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void syncFolder(const std::filesystem::path& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) {
        ::fsync(fd.get());
    }
}

}  // namespace

SmallFile readSmallFile(const std::filesystem::path& path, std::size_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        return {errno == ENOENT ? SmallFile::State::Missing : SmallFile::State::Unreadable, {}};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {SmallFile::State::Unreadable, {}};
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        return {SmallFile::State::TooLarge, {}};
    }
    // The file may change after fstat; reading on to the end, up to one byte more than allowed,
    // notices a file that grew too large.
    const std::size_t limit = maxBytes + 1;
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (bytes.size() == limit) {
                break;
            }
            bytes.resize(std::min(limit, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + length, bytes.size() - length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return {SmallFile::State::Unreadable, {}};
        }
        if (n == 0) {
            break;
        }
        length += static_cast<std::size_t>(n);
    }
    if (length > maxBytes) {
        return {SmallFile::State::TooLarge, {}};
    }
    bytes.resize(length);
    return {SmallFile::State::Read, std::move(bytes)};
}

bool replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return false;
    }
    const bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    const bool closed = ::close(fd.release()) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace pelmar
