#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "backup/backup_options.h"
#include "backup/copy_names.h"
#include "backup/transfer_observer.h"
#include "backup/transfer_run.h"
#include "library/player_library.h"
#include "library/track_data.h"
#include "photos/jpeg_export.h"
#include "photos/thumbnail_choice.h"
#include "util/time_format.h"

namespace pelmar {

namespace {

constexpr const char* kEncoderMissing =
    "Photos cannot be saved because the JPEG encoder could not be initialised.\nPlease make sure "
    "that the TurboJPEG library is installed, then run the backup again.";

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
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

    const ChosenThumbnail chosen = chooseThumbnails(image, job_.library.rootPath).forExport;
    const std::string folder =
        job_.options.destinationFolder == "/" ? std::string() : job_.options.destinationFolder;
    const std::string base =
        folder + "/" + formatTimeUtc(created, "%Y-%m-%d") + " - " + std::to_string(image.id);
    std::string destination = base + ".jpg";
    bool replace = false;
    bool save = true;
    if (exists(destination)) {
        if (job_.options.existHandling == kExistOverwrite) {
            replace = true;
        } else if (job_.options.existHandling == kExistCopyToNewName) {
            const std::string renamed = freeCopyName(base, ".jpg");
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
    if (save) {
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
