#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "backup/backup_options.h"
#include "backup/copy_names.h"
#include "backup/destination_naming.h"
#include "backup/itunes_session.h"
#include "backup/tag_writer.h"
#include "backup/transfer_log_texts.h"
#include "backup/transfer_observer.h"
#include "backup/transfer_run.h"
#include "library/player_library.h"
#include "platform/file_copy.h"
#include "platform/player_path_open.h"
#include "util/make_directory_path.h"

namespace pelmar {

namespace {

constexpr std::size_t kLongestDestination = 255;

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string format(const char* pattern, auto... values) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// The player-relative path of a track's file, "/" separated; empty when the location would lead
// outside the player (a ".." component, or no leading ":").
std::string relativeSourcePath(std::string_view location) {
    if (location.size() < 2 || location.front() != ':') {
        return {};
    }
    std::string relative(location.substr(1));
    std::replace(relative.begin(), relative.end(), ':', '/');
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        if (relative.compare(start, end - start, "..") == 0) {
            return {};
        }
        start = end + 1;
    }
    return relative;
}

// One pass from left to right, as a doubled separator only comes from joining parts.
std::string collapseDoubledSlashes(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        out.push_back(path[i]);
        if (path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') {
            ++i;
        }
    }
    return out;
}

std::string withSeparator(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

// Tags the complete temporary copy with what the player knows of the track, and has an untouched
// copy put in place when writing failed after changing it.
CopyFinisher trackTagger(const PlayerLibrary& library, AlbumCoverJpegs& covers,
                         std::uint32_t trackId, const std::string& destination,
                         std::optional<TagWriteResult>& outcome) {
    return [&library, &covers, trackId, &destination, &outcome](int fd) {
        TrackTags values = trackTagsFor(library, trackId);
        if (const AlbumCoverJpegs::Cover cover = covers.coverOf(trackId); cover.jpeg != nullptr) {
            values.artworkJpeg = *cover.jpeg;
        }
        outcome = writeTrackTags(fd, destination, values);
        return outcome->status == TagWriteStatus::Failed && outcome->fileChanged
                   ? CopyFinish::Recopy
                   : CopyFinish::Keep;
    };
}

void logTagging(TrackLogEntry& entry, const TagWriteResult& outcome) {
    switch (outcome.status) {
        case TagWriteStatus::Written:
            entry.tagsWritten(outcome.detail);
            break;
        case TagWriteStatus::LeftAlone:
            entry.tagsLeftAlone(outcome.detail);
            break;
        case TagWriteStatus::Failed:
            entry.tagsNotWritten(outcome.detail);
            break;
    }
}

}  // namespace

void TransferRun::copyTrack(std::size_t index) {
    TransferObserver& observer = job_.observer;
    const TransferOptions& options = job_.options;
    const std::uint32_t trackId = job_.tracks[index].id;
    TrackInfo track;
    job_.library.getTrackInfo(trackId, track);

    const std::string display = TrackDisplayName(track);
    observer.setStatusText(display);
    observer.setFileProgress(0);
    observer.setCounterText(format("Processing track %d/%d.", static_cast<int>(index + 1),
                                   static_cast<int>(job_.tracks.size())));

    const std::string backupFolder =
        collapseDoubledSlashes(withSeparator(options.destinationFolder));
    DestinationFolder place = BuildDestinationFolder(job_.library, trackId, options.folderTemplate,
                                                     options.fileTemplate, false);
    std::string destination =
        backupFolder + place.folderPath + place.fileBase + "." + place.extension;
    if (destination.size() > kLongestDestination) {
        place = BuildDestinationFolder(job_.library, trackId, options.folderTemplate,
                                       options.fileTemplate, true);
        destination = backupFolder + place.folderPath + place.fileBase + "." + place.extension;
    }
    // The backup folder itself is never made again once it has gone (its disk unplugged, say):
    // the copies would land on whatever disk holds the empty mount point.
    const bool backupFolderThere = isDirectory(backupFolder);
    if (backupFolderThere) {
        const std::string folder = collapseDoubledSlashes(backupFolder + place.folderPath);
        MakeDirectoryPath(folder);
        prepareFolder(folder);
    }
    destination = collapseDoubledSlashes(destination);

    TrackLogEntry entry(index + 1, display, destination);
    bool copy = true;
    bool replace = false;
    bool inPlaylists = false;
    if (!backupFolderThere) {
        entry.failedBecause("the backup folder no longer exists");
        ++result_.failed;
        copy = false;
    } else if (exists(destination)) {
        entry.destinationExists();
        if (options.existHandling == kExistOverwrite) {
            // The old file goes only when the new one is complete.
            entry.deletingExistingFile();
            replace = true;
        } else if (options.existHandling == kExistCopyToNewName) {
            const std::string renamed = freeCopyName(
                collapseDoubledSlashes(backupFolder + place.folderPath + place.fileBase),
                "." + place.extension);
            if (renamed.empty()) {
                entry.failedBecause("every name up to \"(copy 251)\" exists already");
                ++result_.failed;
                copy = false;
            } else {
                ++result_.renamed;
                destination = renamed;
                entry.copyingToNewName(destination);
            }
        } else {
            entry.skipped();
            ++result_.skipped;
            inPlaylists = true;
            copy = false;
        }
    }
    if (copy) {
        entry.startingCopy();
        const std::string relative = relativeSourcePath(track.location);
        if (relative.empty()) {
            entry.failedBecause("the track's location leads outside the player");
            ++result_.failed;
        } else {
            const PlayerPathFile source = openPlayerPath(job_.library.rootPath, relative);
            lastPercent_ = -1;
            int error = source.error;
            std::optional<TagWriteResult> tagging;
            if (source.status == PlayerPathStatus::Opened) {
                error = copyOpenFileAtomically(
                    source.fd.get(), destination, replace,
                    [this](std::uint64_t total, std::uint64_t copied) {
                        reportCopyProgress(total, copied);
                    },
                    job_.abortCopy,
                    options.writeTags != 0
                        ? trackTagger(job_.library, coverJpegs_, trackId, destination, tagging)
                        : CopyFinisher());
            } else if (source.status == PlayerPathStatus::NotRegularFile) {
                error = EINVAL;
            }
            if (source.status == PlayerPathStatus::LeadsOutside) {
                entry.failedBecause(
                    "the file on the player is a link that leads outside the player");
                ++result_.failed;
            } else if (error == 0) {
                entry.succeeded();
                ++result_.copied;
                inPlaylists = true;
                if (tagging) {
                    logTagging(entry, *tagging);
                    result_.tagged += tagging->status == TagWriteStatus::Written ? 1 : 0;
                }
            } else {
                entry.failed(error);
                ++result_.failed;
            }
        }
    }
    log_.WriteLine(entry.text());
    if (inPlaylists) {
        paths_[trackId] = destination.substr(backupFolder.size());
        if (itunes_ && itunesLibraryHeld_) {
            log_.WriteLine(itunes_->insertTrack(destination, track.rating, track.playCount));
        }
        saveAlbumCover(trackId, destination);
    }
    log_.WriteLine(kLogEntryEnd);
    observer.setOverallProgress(static_cast<int>(index + 1));
    showCounts();
}

}  // namespace pelmar
