#include "backup/itunes_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "backup/system_itunes.h"
#include "support/fake_itunes.h"

namespace pelmar {
namespace {

using Strings = std::vector<std::string>;
using std::chrono::milliseconds;

const std::string kAttempt = "      attempting to insert into iTunes library...";

class ITunesInsertion : public ::testing::Test {
  protected:
    // A session on a fake server that behaves as told, connected, with the sleeps recorded.
    ITunesSession& connected(test::FakeITunes::Behaviour behaviour = {}) {
        session.reset();
        server = std::make_unique<test::FakeITunes>(behaviour);
        session = std::make_unique<ITunesSession>(
            *server, [this](milliseconds wait) { sleeps.push_back(wait); });
        session->connect({});
        return *session;
    }

    // The calls made after connecting.
    Strings laterCalls() const {
        Strings calls = server->calls();
        calls.erase(calls.begin(), calls.begin() + std::min<std::ptrdiff_t>(2, calls.size()));
        return calls;
    }

    std::unique_ptr<test::FakeITunes> server;
    std::unique_ptr<ITunesSession> session;
    std::vector<milliseconds> sleeps;
};

TEST(ITunesConnection, ShowsItsStatusAndHoldsTheLibraryPlaylist) {
    const struct {
        const char* what;
        test::FakeITunes::Behaviour behaviour;
        bool libraryHeld;
        bool applicationHeld;
        Strings calls;
    } cases[] = {
        {"connected", {}, true, true, {"CreateApplication", "LibraryPlaylist"}},
        {"no library playlist",
         {.noLibraryPlaylist = true},
         false,
         true,
         {"CreateApplication", "LibraryPlaylist"}},
        {"not installed", {.noApplication = true}, false, false, {"CreateApplication"}},
    };
    for (const auto& c : cases) {
        test::FakeITunes server(c.behaviour);
        std::vector<std::string> statuses;
        {
            ITunesSession session(server);
            EXPECT_EQ(session.connect([&](std::string_view text) { statuses.emplace_back(text); }),
                      c.libraryHeld)
                << c.what;
            EXPECT_EQ(session.hasApplication(), c.applicationHeld) << c.what;
            EXPECT_EQ(session.hasLibraryPlaylist(), c.libraryHeld) << c.what;
        }
        EXPECT_EQ(statuses, (Strings{"Connecting to iTunes..."})) << c.what;
        EXPECT_EQ(server.calls(), c.calls) << c.what;
        EXPECT_EQ(server.liveObjects(), 0) << c.what << ": everything is released";
    }
}

TEST(ITunesConnection, ThisSystemHasNoITunes) {
    SystemITunesServer server;
    ITunesSession session(server);
    EXPECT_FALSE(session.connect({}));
    EXPECT_FALSE(session.hasApplication());
    EXPECT_EQ(session.insertTrack("/b/x.mp3", 60, 1), "");
    EXPECT_FALSE(session.createPlaylist("Mix"));
}

TEST_F(ITunesInsertion, AddsTheFileAndCarriesRatingAndPlayCountOver) {
    EXPECT_EQ(connected().insertTrack("/b/Band/x.mp3", 80, 12), kAttempt + "succeeded.");
    EXPECT_EQ(laterCalls(), (Strings{"AddFile /b/Band/x.mp3", "InProgress", "Tracks", "Item 1",
                                     "Rating 80", "PlayedCount 12"}));
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(server->liveObjects(), 2) << "only the application and the library playlist stay";
}

TEST_F(ITunesInsertion, WaitsUpTo31TimesWhileITunesIsBusy) {
    const struct {
        int busyAnswers;
        std::size_t waits;
        bool busyText;
    } cases[] = {
        {1, 1, false},
        {30, 30, false},
        {31, 31, true},
        {test::FakeITunes::kAlwaysBusy, 31, true},
    };
    for (const auto& c : cases) {
        sleeps.clear();
        const std::string line =
            connected({.busyAnswers = c.busyAnswers}).insertTrack("/b/x.mp3", 0, 0);
        EXPECT_EQ(line, kAttempt + (c.busyText ? "iTunes is busy..." : "") + "succeeded.")
            << c.busyAnswers;
        EXPECT_EQ(sleeps, std::vector<milliseconds>(c.waits, milliseconds(100))) << c.busyAnswers;
        const Strings calls = laterCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "InProgress"),
                  static_cast<std::ptrdiff_t>(c.waits + 1))
            << c.busyAnswers;
    }
}

TEST_F(ITunesInsertion, FailsWhenITunesGivesNoTrack) {
    const struct {
        const char* what;
        test::FakeITunes::Behaviour behaviour;
        std::string line;
        Strings calls;
    } cases[] = {
        {"no status", {.noStatus = true}, kAttempt + "failed.", {"AddFile /b/x.mp3"}},
        {"no collection",
         {.noTracks = true},
         kAttempt + "failed.",
         {"AddFile /b/x.mp3", "InProgress", "Tracks"}},
        {"no track",
         {.noTrackItem = true},
         kAttempt + "failed.",
         {"AddFile /b/x.mp3", "InProgress", "Tracks", "Item 1"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(connected(c.behaviour).insertTrack("/b/x.mp3", 20, 3), c.line) << c.what;
        EXPECT_EQ(laterCalls(), c.calls) << c.what;
        EXPECT_EQ(server->liveObjects(), 2) << c.what;
    }
}

TEST_F(ITunesInsertion, StillBusyAndNoTrackYetReadsAsFailed) {
    const std::string line =
        connected({.busyAnswers = test::FakeITunes::kAlwaysBusy, .noTrackItem = true})
            .insertTrack("/b/x.mp3", 0, 0);
    EXPECT_EQ(line, kAttempt + "iTunes is busy...failed.");
}

TEST_F(ITunesInsertion, NothingIsTriedWithoutTheLibraryPlaylist) {
    EXPECT_EQ(connected({.noLibraryPlaylist = true}).insertTrack("/b/x.mp3", 0, 0), "");
    EXPECT_TRUE(laterCalls().empty());
}

TEST_F(ITunesInsertion, PlaylistsAreFilledWithoutWaiting) {
    ITunesSession& itunes = connected({.busyAnswers = test::FakeITunes::kAlwaysBusy});
    EXPECT_TRUE(itunes.createPlaylist("Mix"));
    itunes.addToPlaylist("/b/one.mp3");
    itunes.addToPlaylist("/b/two.mp3");
    EXPECT_EQ(laterCalls(),
              (Strings{"CreatePlaylist Mix", "QueryUserPlaylist", "UserPlaylist.AddFile /b/one.mp3",
                       "QueryUserPlaylist", "UserPlaylist.AddFile /b/two.mp3"}));
    EXPECT_TRUE(sleeps.empty());
    EXPECT_EQ(server->liveObjects(), 3) << "the statuses are dropped at once";
    session.reset();
    EXPECT_EQ(server->liveObjects(), 0);
}

TEST_F(ITunesInsertion, PlaylistsThatITunesRefusesGetNoFiles) {
    ITunesSession& refused = connected({.noPlaylist = true});
    EXPECT_FALSE(refused.createPlaylist("Mix"));
    refused.addToPlaylist("/b/one.mp3");
    EXPECT_EQ(laterCalls(), (Strings{"CreatePlaylist Mix"}));

    ITunesSession& notUser = connected({.noUserPlaylist = true});
    EXPECT_TRUE(notUser.createPlaylist("Mix"));
    notUser.addToPlaylist("/b/one.mp3");
    EXPECT_EQ(laterCalls(), (Strings{"CreatePlaylist Mix", "QueryUserPlaylist"}));
    EXPECT_TRUE(server->playlists()[0].files.empty());
}

}  // namespace
}  // namespace pelmar
