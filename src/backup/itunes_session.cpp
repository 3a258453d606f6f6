#include "backup/itunes_session.h"

#include <thread>

namespace pelmar {

ITunesSession::ITunesSession(ITunesServer& server, Sleep sleep)
    : server_(&server), sleep_(std::move(sleep)) {
    if (!sleep_) {
        sleep_ = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); };
    }
}

ITunesSession::~ITunesSession() {
    release();
}

bool ITunesSession::connect(const std::function<void(std::string_view)>& setStatus) {
    if (setStatus) {
        setStatus("Connecting to iTunes...");
    }
    release();
    application_ = server_->CreateApplication();
    if (application_) {
        libraryPlaylist_ = application_->LibraryPlaylist();
    }
    return hasLibraryPlaylist();
}

std::string ITunesSession::insertTrack(const std::string& fullPath, int rating,
                                       std::uint32_t playCount) {
    if (!libraryPlaylist_) {
        return {};
    }
    std::string line = "      attempting to insert into iTunes library...";
    bool inserted = false;
    // Each object is released before the one it came from: the track, the collection, the status.
    const std::unique_ptr<IITOperationStatus> status = libraryPlaylist_->AddFile(fullPath);
    if (status) {
        if (waitWhileBusy(*status)) {
            line += "iTunes is busy...";
        }
        // A file iTunes has not finished adding has no track yet, and counts as failed.
        const std::unique_ptr<IITTrackCollection> tracks = status->Tracks();
        const std::unique_ptr<IITTrack> track = tracks ? tracks->Item(1) : nullptr;
        if (track) {
            track->SetRating(rating);
            track->SetPlayedCount(playCount);
            inserted = true;
        }
    }
    line += inserted ? "succeeded." : "failed.";
    return line;
}

bool ITunesSession::waitWhileBusy(IITOperationStatus& status) {
    bool busy = status.InProgress();
    for (int waits = 1; busy; ++waits) {
        sleep_(kBusyWait);
        busy = status.InProgress();
        // The answer after the last wait is not looked at: the run has waited long enough.
        if (waits == kBusyWaits) {
            return true;
        }
    }
    return false;
}

bool ITunesSession::createPlaylist(const std::string& cleanName) {
    playlist_.reset();
    if (application_) {
        playlist_ = application_->CreatePlaylist(cleanName);
    }
    return playlist_ != nullptr;
}

void ITunesSession::addToPlaylist(const std::string& fullPath) {
    if (!playlist_) {
        return;
    }
    if (const std::unique_ptr<IITUserPlaylist> userPlaylist = playlist_->QueryUserPlaylist()) {
        // The status is dropped at once: nothing waits for a playlist's files.
        (void)userPlaylist->AddFile(fullPath);
    }
}

void ITunesSession::release() {
    playlist_.reset();
    libraryPlaylist_.reset();
    application_.reset();
}

}  // namespace pelmar
