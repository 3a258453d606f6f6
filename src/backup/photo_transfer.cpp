#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "backup/backup_options.h"
#include "backup/copy_names.h"
#include "backup/transfer_observer.h"
#include "backup/transfer_run.h"
#include "library/player_library.h"
#include "library/track_data.h"
#include "photos/jpeg_export.h"
#include "photos/thumbnail_choice.h"
#include "platform/file_copy.h"
#include "platform/player_path_open.h"
#include "util/time_format.h"

namespace pelmar {

namespace {

constexpr const char* kEncoderMissing =
    "Photos cannot be saved because the JPEG encoder could not be initialised.\nPlease make sure "
    "that the TurboJPEG library is installed, then run the backup again.";

constexpr std::size_t kLongestExtension = 8;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The original's extension with its dot, as the database names it; "" when its name has none
// made of letters and digits, so that nothing of a hostile name reaches the backup's.
std::string originalExtension(std::string_view path) {
    const std::string_view name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot - 1 > kLongestExtension ||
        dot + 1 == name.size()) {
        return {};
    }
    const std::string_view extension = name.substr(dot);
    const bool plain = std::all_of(extension.begin() + 1, extension.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
    return plain ? std::string(extension) : std::string();
}

}  // namespace

void TransferRun::exportPhoto(std::size_t index) {
    TransferObserver& observer = job_.observer;
    const std::uint32_t imageId = job_.photos[index].id;
    ImageData image;
    if (const auto it = job_.library.images.find(imageId); it != job_.library.images.end()) {
        image = it->second;
    }
    const std::int64_t created = signedPlayerTime(image.createdTime - kPlayerEpochOffset);
    observer.setStatusText(formatTimeUtc(created, "%m/%d/%Y %I:%M %p"));
    observer.setFileProgress(0);
    char counter[64];
    std::snprintf(counter, sizeof counter, "Processing photo %d/%d.", static_cast<int>(index + 1),
                  static_cast<int>(job_.photos.size()));
    observer.setCounterText(counter);

    // An original the player holds is the photo itself, so it is saved as it is; the thumbnails
    // are only the player's smaller copies of it.
    PlayerPathFile original;
    if (!image.originalPath.empty()) {
        original = openPlayerPath(job_.library.rootPath, image.originalPath);
    }
    const bool copyOriginal = original.status == PlayerPathStatus::Opened;
    const std::string extension = copyOriginal ? originalExtension(image.originalPath) : ".jpg";
    const std::string folder =
        job_.options.destinationFolder == "/" ? std::string() : job_.options.destinationFolder;
    const std::string base =
        folder + "/" + formatTimeUtc(created, "%Y-%m-%d") + " - " + std::to_string(image.id);
    std::string destination = base + extension;
    bool replace = false;
    bool save = true;
    if (exists(destination)) {
        if (job_.options.existHandling == kExistOverwrite) {
            replace = true;
        } else if (job_.options.existHandling == kExistCopyToNewName) {
            const std::string renamed = freeCopyName(base, extension);
            if (renamed.empty()) {
                ++result_.failed;
                save = false;
            } else {
                ++result_.renamed;
                destination = renamed;
            }
        } else {
            ++result_.skipped;
            save = false;
        }
    }
    if (save && copyOriginal) {
        lastPercent_ = -1;
        const int error = copyOpenFileAtomically(
            original.fd.get(), destination, replace,
            [this](std::uint64_t total, std::uint64_t copied) { reportCopyProgress(total, copied); },
            job_.abortCopy);
        if (error == 0) {
            ++result_.copied;
        } else {
            ++result_.failed;
        }
    } else if (save) {
        const ChosenThumbnail chosen = chooseThumbnails(image, job_.library.rootPath).forExport;
        if (exportThumbnailJpeg(
                chosen.format, job_.library, chosen.offset,
                [this](int percent) { job_.observer.setFileProgress(percent); }, destination,
                replace) == 1) {
            ++result_.copied;
        } else {
            ++result_.failed;
            if (!encoderMessageShown_ && !jpegEncoderAvailable()) {
                encoderMessageShown_ = true;
                observer.showMessage(kEncoderMissing);
            }
        }
    }
    // The overall bar counts the tracks first and the photos after them.
    observer.setOverallProgress(static_cast<int>(job_.tracks.size() + index + 1));
    showCounts();
}

}  // namespace pelmar
