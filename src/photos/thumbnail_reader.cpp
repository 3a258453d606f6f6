#include "photos/thumbnail_decoder.h"

#include <cerrno>
#include <new>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/player_path_open.h"

namespace pelmar {

namespace {

// Reads up to out.size() bytes from `offset`; the count read, or nothing on a read error.
std::optional<std::size_t> readAt(int fd, std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readPictureSlot(const std::string& rootPath,
                                                         const StoredPicture& picture) {
    if (picture.format == nullptr) {
        return std::nullopt;
    }
    const PlayerPathFile file = openPlayerPath(rootPath, picture.file);
    const UniqueFd& fd = file.fd;
    if (!fd) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 ||
        picture.offset >= static_cast<std::uint64_t>(info.st_size)) {
        return std::nullopt;
    }
    try {
        std::vector<std::uint8_t> bytes(slotSize(*picture.format, picture.statedSize), 0);
        const std::optional<std::size_t> read = readAt(fd.get(), picture.offset, bytes);
        if (!read) {
            return std::nullopt;
        }
        bytes.resize(*read);
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<RgbImage> readPicture(const std::string& rootPath, const StoredPicture& picture,
                                    const std::function<void(int)>& progress) {
    const std::optional<std::vector<std::uint8_t>> bytes = readPictureSlot(rootPath, picture);
    if (!bytes) {
        return std::nullopt;
    }
    try {
        RgbImage image = decodePicture(*picture.format, picture.statedSize, *bytes, progress);
        if (image.pixels.empty() && pixelLayout(*picture.format) == PixelLayout::Jpeg) {
            return std::nullopt;
        }
        return image;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<RgbImage> readThumbnail(const std::string& rootPath, const ThumbnailFormat& format,
                                      std::uint64_t offset,
                                      const std::function<void(int)>& progress) {
    const std::string file = thumbnailFilePath("", format.formatId);
    return readPicture(rootPath, {&format, file, offset, 0}, progress);
}

}  // namespace pelmar
