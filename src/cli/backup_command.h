#pragma once

#include <string>
#include <vector>

namespace pelmar::cli {

// What `pelmar backup` was asked to do.
struct BackupRequest {
    std::string player;
    std::string destination;
    bool all = false;
    bool songs = false;
    bool videos = false;
    bool podcasts = false;
    bool photos = false;
    std::vector<std::string> playlists;
    std::vector<std::string> artists;
    std::vector<std::string> albums;
    std::vector<std::string> genres;
    std::vector<std::string> composers;
    std::vector<std::string> photoAlbums;
    std::vector<std::string> searches;
    std::string folderFormat;
    std::string fileFormat;
    std::string existing;
    bool itunes = false;
    bool artwork = false;
    bool noArtwork = false;
    bool writeTags = false;
    bool quiet = false;
    bool json = false;

    [[nodiscard]] bool choosesSomething() const;
};

inline constexpr int kExitRefused = 4;
inline constexpr int kExitOtherRun = 5;
inline constexpr int kExitCanceled = 130;

// Backs up what the request chooses; returns the exit status.
int runBackup(const BackupRequest& request);

}  // namespace pelmar::cli
