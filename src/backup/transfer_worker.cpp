#include "backup/transfer_worker.h"

#include <cstdio>

#include "backup/itunes_session.h"
#include "backup/library_sidecar.h"
#include "backup/transfer_log_texts.h"
#include "backup/transfer_observer.h"
#include "backup/transfer_run.h"
#include "platform/stale_temporaries.h"

namespace pelmar {

TransferResult TransferWorker(TransferJob& job) {
    TransferRun run(job);
    return run.run();
}

TransferRun::TransferRun(TransferJob& job) : job_(job), log_(job.logPath) {}

TransferRun::~TransferRun() = default;

TransferResult TransferRun::run() {
    // Photos and playlists go straight into the backup folder, tracks below it.
    prepareFolder(job_.options.destinationFolder);
    writeLogHead();
    connectITunes();
    log_.WriteLine(kLogBeginTransfer);
    if (!trackPass()) {
        result_.canceled = true;
        return result_;
    }
    log_.WriteLine(kLogTransferComplete);
    result_.playlists = static_cast<std::uint32_t>(
        exportPlaylists(job_.library, job_.playlists, job_.options.destinationFolder, paths_,
                        itunes_.get(), [this](int created) {
                            job_.observer.setPlaylistCount(static_cast<std::uint32_t>(created));
                        }));
    if (!photoPass()) {
        result_.canceled = true;
        return result_;
    }
    if (job_.options.writeTags != 0) {
        writeLibraryFile();
    }
    complete();
    return result_;
}

void TransferRun::writeLibraryFile() {
    std::vector<SidecarTrack> tracks;
    tracks.reserve(paths_.size());
    for (const KernelId& track : job_.tracks) {
        if (const auto path = paths_.find(track.id); path != paths_.end()) {
            tracks.push_back(sidecarTrack(job_.library, track.id, path->second));
        }
    }
    log_.WriteLine(LibrarySidecarLine(writeLibrarySidecar(job_.options.destinationFolder, tracks)));
}

void TransferRun::writeLogHead() {
    const TransferOptions& options = job_.options;
    log_.OpenLog();
    for (const std::string& line : LogHeaderLines(job_.summaryTexts)) {
        log_.WriteLine(line);
    }
    const LoggedOptions logged{options.destinationFolder, options.folderTemplate,
                               options.fileTemplate,      options.existHandling,
                               options.enableITunes != 0, options.saveArtwork != 0,
                               options.writeTags != 0};
    for (const std::string& line : LogOptionLines(logged)) {
        log_.WriteLine(line);
    }
}

void TransferRun::connectITunes() {
    if (job_.options.enableITunes == 0) {
        return;
    }
    itunes_ = std::make_unique<ITunesSession>(job_.itunes);
    itunesLibraryHeld_ =
        itunes_->connect([this](std::string_view text) { job_.observer.setStatusText(text); });
    log_.WriteLine(ITunesConnectionLine(itunesLibraryHeld_));
}

void TransferRun::prepareFolder(const std::string& folder) {
    std::string key = folder;
    while (key.size() > 1 && key.back() == '/') {
        key.pop_back();
    }
    if (preparedFolders_.insert(key).second) {
        removeStaleTemporaries(key);
    }
}

void TransferRun::showCounts() {
    job_.observer.setResultCounts(result_.copied, result_.skipped, result_.renamed, result_.failed);
    job_.observer.setCoverAndTagCounts(result_.covers, result_.tagged);
}

bool TransferRun::cancelRequested() {
    TransferControl& control = job_.control;
    if (control.state.load() == TransferState::Paused) {
        control.pauseEvent.waitWhile(
            [&control] { return control.state.load() == TransferState::Paused; });
    }
    const TransferState state = control.state.load();
    return state == TransferState::Canceled || state == TransferState::Completed;
}

bool TransferRun::trackPass() {
    for (std::size_t i = 0; i < job_.tracks.size(); ++i) {
        copyTrack(i);
        if (cancelRequested()) {
            return false;
        }
    }
    return true;
}

bool TransferRun::photoPass() {
    for (std::size_t i = 0; i < job_.photos.size(); ++i) {
        exportPhoto(i);
        if (cancelRequested()) {
            return false;
        }
    }
    return true;
}

void TransferRun::complete() {
    TransferObserver& observer = job_.observer;
    job_.control.state.store(TransferState::Completed);
    observer.setBeginButton("Completed", false);
    const auto items = static_cast<int>(job_.tracks.size() + job_.photos.size());
    char counter[64];
    std::snprintf(counter, sizeof counter, "%d items processed.", items);
    observer.setCounterText(counter);
    observer.setFileProgress(100);
    observer.setOverallProgress(items);
    observer.setStatusText("Processing Complete.");
    observer.enableResultButtons();
}

void TransferRun::reportCopyProgress(std::uint64_t total, std::uint64_t copied) {
    if (total == 0) {
        return;
    }
    const auto percent =
        static_cast<int>(static_cast<double>(copied) * 100.0 / static_cast<double>(total));
    if (percent % 5 == 0 && percent != lastPercent_) {
        job_.observer.setFileProgress(percent);
        lastPercent_ = percent;
    }
}

}  // namespace pelmar
