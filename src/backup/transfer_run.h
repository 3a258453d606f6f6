#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>

#include "backup/album_cover_files.h"
#include "backup/album_cover_jpegs.h"
#include "backup/playlist_export.h"
#include "backup/transfer_log.h"
#include "backup/transfer_worker.h"

namespace pelmar {

class ITunesSession;

// One backup run's working state, shared by the passes over tracks, playlists and photos.
class TransferRun {
  public:
    explicit TransferRun(TransferJob& job);
    ~TransferRun();
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    TransferResult run();

  private:
    void writeLogHead();
    void connectITunes();
    // Each pass returns false when the run was cancelled between its items.
    bool trackPass();
    bool photoPass();
    void copyTrack(std::size_t index);
    void exportPhoto(std::size_t index);
    // The cover of the album of a track copied to (or found at) `destination`, when asked for.
    void saveAlbumCover(std::uint32_t trackId, const std::string& destination);
    void showCounts();
    // Library.json for the tracks this run put or found in the backup folder, and its log line.
    void writeLibraryFile();
    // Clears `folder` of what killed runs left half-written, before this run first writes there.
    void prepareFolder(const std::string& folder);
    // Waits while paused; true when the run must end now.
    bool cancelRequested();
    void complete();

    // The file bar moves in steps of 5 percent; each file starts from nothing.
    void reportCopyProgress(std::uint64_t total, std::uint64_t copied);

    TransferJob& job_;
    TransferResult result_;
    TempFile log_;
    std::unique_ptr<ITunesSession> itunes_;
    bool itunesLibraryHeld_ = false;
    TrackPathMap paths_;
    // Shared by the cover files and the copies' tags, so that each album's cover is made once.
    AlbumCoverJpegs coverJpegs_{job_.library};
    AlbumCoverFiles coverFiles_{job_.library, coverJpegs_};
    std::unordered_set<std::string> preparedFolders_;
    int lastPercent_ = -1;
    bool encoderMessageShown_ = false;
};

}  // namespace pelmar
