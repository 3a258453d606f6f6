#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "backup/itunes.h"

namespace pelmar {

// One run's use of iTunes: the connection, the insertion of each backed-up track with its rating
// and play count, and the playlists. Holds the application object and the library playlist for
// the run and releases them, and any playlist, when destroyed.
class ITunesSession {
  public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    // How often, and how long, an insertion waits for iTunes to finish adding a file.
    static constexpr int kBusyWaits = 31;
    static constexpr std::chrono::milliseconds kBusyWait{100};

    // `server` must outlive the session. `sleep` does the waits; empty means really sleeping.
    explicit ITunesSession(ITunesServer& server, Sleep sleep = {});
    ~ITunesSession();
    ITunesSession(const ITunesSession&) = delete;
    ITunesSession& operator=(const ITunesSession&) = delete;

    // Shows "Connecting to iTunes..." through `setStatus`, creates the application object and
    // reads its library playlist. True when the library playlist is held, so tracks can go in.
    bool connect(const std::function<void(std::string_view)>& setStatus);

    [[nodiscard]] bool hasApplication() const { return application_ != nullptr; }
    [[nodiscard]] bool hasLibraryPlaylist() const { return libraryPlaylist_ != nullptr; }

    // Adds a backed-up file to the iTunes library and gives it the player's rating and play
    // count. Returns the log line telling how it went; "" when no library playlist is held, and
    // then nothing is tried.
    [[nodiscard]] std::string insertTrack(const std::string& fullPath, int rating,
                                          std::uint32_t playCount);

    // Creates a playlist that the following addToPlaylist calls fill; needs the application
    // object only. False when iTunes made none; the calls that follow then add nothing.
    bool createPlaylist(const std::string& cleanName);
    // Adds a backed-up file to the playlist made last, without waiting for iTunes to finish.
    void addToPlaylist(const std::string& fullPath);

    // Lets go of every iTunes object, the application last.
    void release();

  private:
    // Waits while iTunes is still adding; true when it gave up waiting.
    bool waitWhileBusy(IITOperationStatus& status);

    ITunesServer* server_;
    Sleep sleep_;
    std::unique_ptr<IiTunes> application_;
    std::unique_ptr<IITLibraryPlaylist> libraryPlaylist_;
    std::unique_ptr<IITPlaylist> playlist_;
};

}  // namespace pelmar
