#pragma once

#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "backup/itunes.h"

namespace pelmar::test {

// An iTunes automation server that records every call made on it and its objects, in order, and
// can be told to fail at each step. Safe to inspect from the test's thread while a worker uses it.
//
// The calls read: "CreateApplication", "LibraryPlaylist", "AddFile <path>", "InProgress",
// "Tracks", "Item <n>", "Rating <n>", "PlayedCount <n>", "CreatePlaylist <name>",
// "QueryUserPlaylist", "UserPlaylist.AddFile <path>".
class FakeITunes final : public ITunesServer {
  public:
    static constexpr int kAlwaysBusy = INT_MAX;

    struct Behaviour {
        bool noApplication = false;      // iTunes is not installed
        bool noLibraryPlaylist = false;  // LibraryPlaylist gives nothing
        bool noStatus = false;           // the library's AddFile gives no status
        int busyAnswers = 0;             // InProgress is true this many times per status
        bool noTracks = false;           // Tracks gives no collection
        bool noTrackItem = false;        // Item gives no track
        bool noPlaylist = false;         // CreatePlaylist gives nothing
        bool noUserPlaylist = false;     // QueryUserPlaylist gives nothing
    };

    // A playlist made through the server, with the files added to it.
    struct Playlist {
        std::string name;
        std::vector<std::string> files;
    };

    FakeITunes();
    explicit FakeITunes(Behaviour behaviour);
    ~FakeITunes() override;

    [[nodiscard]] std::unique_ptr<IiTunes> CreateApplication() override;

    [[nodiscard]] std::vector<std::string> calls() const;
    // Files the library's AddFile was given.
    [[nodiscard]] std::vector<std::string> libraryFiles() const;
    [[nodiscard]] std::vector<Playlist> playlists() const;
    // Objects handed out and not yet released.
    [[nodiscard]] int liveObjects() const;

    struct State;

  private:
    std::shared_ptr<State> state_;
};

}  // namespace pelmar::test
