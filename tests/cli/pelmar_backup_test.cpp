#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <sys/inotify.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include "command_runner.h"
#include "player_image/player_image.h"
#include "support/temp_folder.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::CommandRun;
using test::pelmar;
using test::quoted;

std::size_t countFiles(const fs::path& folder, const std::string& extension = "") {
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find(".pelmar-"), std::string::npos) << "temporary file left: " << name;
        if (entry.is_regular_file() &&
            (extension.empty() || entry.path().extension() == extension)) {
            ++count;
        }
    }
    return count;
}

class PelmarBackup : public ::testing::Test {
  protected:
    PelmarBackup() {
        options.trackCount = 40;
        options.photoCount = 5;
        written = player_image::generatePlayerImage(options);
        std::string error;
        EXPECT_TRUE(player_image::writePlayerImage(written, player(), options, error)) << error;
        fs::create_directories(backup());
        fs::create_directories(folder.path() / "runtime");
    }

    fs::path player() const { return folder.path() / "player"; }
    fs::path backup() const { return folder.path() / "backup"; }
    std::string environment() const {
        return "PELMAR_CONFIG_DIR=" + quoted((folder.path() / "config").string()) +
               " XDG_RUNTIME_DIR=" + quoted((folder.path() / "runtime").string());
    }

    std::vector<std::string> runEnvironment() const {
        return {"PELMAR_CONFIG_DIR=" + (folder.path() / "config").string(),
                "XDG_RUNTIME_DIR=" + (folder.path() / "runtime").string()};
    }

    // Another player, of `tracks` tracks and `photos` photos, at `root`.
    static player_image::PlayerImage writePlayer(const fs::path& root, std::uint32_t tracks,
                                                 bool withPhotos, std::uint32_t photos = 0) {
        player_image::Options other;
        other.trackCount = tracks;
        other.withPhotos = withPhotos;
        other.photoCount = photos;
        player_image::PlayerImage image = player_image::generatePlayerImage(other);
        std::string error;
        EXPECT_TRUE(player_image::writePlayerImage(image, root, other, error)) << error;
        return image;
    }

    CommandRun backupWith(std::vector<std::string> args) {
        std::vector<std::string> all = {"backup", "--player", player().string(), "--to",
                                        backup().string()};
        all.insert(all.end(), args.begin(), args.end());
        return pelmar(all, environment());
    }

    test::TempFolder folder;
    player_image::Options options;
    player_image::PlayerImage written;
};

TEST_F(PelmarBackup, BacksUpEverythingAndReportsTheCounts) {
    const CommandRun run = backupWith({"--all", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json result = json::parse(run.out);
    EXPECT_EQ(result["copied"], written.tracks.size() + written.photos.size());
    EXPECT_EQ(result["failed"], 0);
    EXPECT_EQ(result["canceled"], false);
    EXPECT_EQ(result["playlists"], written.playlists.size() - 1);
    ASSERT_TRUE(result["log"].is_string());
    EXPECT_TRUE(fs::exists(result["log"].get<std::string>()));
    EXPECT_EQ(result["log"].get<std::string>().rfind((folder.path() / "runtime").string(), 0), 0U)
        << "the log lives in the user's private runtime folder";
    EXPECT_EQ(countFiles(backup(), ".jpg"), written.photos.size());
    EXPECT_NE(run.err.find(" tracks and "), std::string::npos)
        << "the selection summary goes to standard error with --json";
}

TEST_F(PelmarBackup, TextResultsUseThePagesWords) {
    const CommandRun run = backupWith({"--songs", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* words :
         {"items successfully copied.", "items skipped because they exist already.",
          "items renamed because they exist already.", "items not copied due to error.",
          "playlists created.", "Log: "}) {
        EXPECT_NE(run.out.find(words), std::string::npos) << words;
    }
    EXPECT_EQ(run.out.find("Processing track"), std::string::npos) << "--quiet shows no progress";
}

TEST_F(PelmarBackup, RunOptionsApplyToThisRunOnly) {
    const CommandRun run = backupWith({"--songs", "--folder-format", "artist\\album\\",
                                       "--file-format", "Track# Title.ext", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::size_t nested = 0;
    for (const auto& entry : fs::recursive_directory_iterator(backup())) {
        nested += fs::relative(entry.path(), backup()).begin()->string() != entry.path().filename()
                      ? 1
                      : 0;
    }
    EXPECT_GT(nested, 0U) << "files went into artist and album folders";
    const CommandRun again =
        backupWith({"--songs", "--existing", "rename", "--json", "--folder-format",
                    "Artist\\Album\\", "--file-format", "Track# Title.ext"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_GT(json::parse(again.out)["renamed"].get<int>(), 0);
    const CommandRun shown = pelmar({"options"}, environment());
    EXPECT_NE(shown.out.find("[ No subfolders ]"), std::string::npos)
        << "nothing was stored: " << shown.out;
}

TEST_F(PelmarBackup, PicksNamedItemsAndRefusesUnknownOnes) {
    const CommandRun run = backupWith({"--playlist", "Zed", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["playlists"], 1);
    EXPECT_TRUE(fs::exists(backup() / "Zed.m3u"));
    const CommandRun missing = backupWith({"--artist", "Nobody At All"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no artist named \"Nobody At All\""), std::string::npos);
}

TEST_F(PelmarBackup, ChecksBeforeStartingAndWritesNothingWhenRefused) {
    EXPECT_EQ(backupWith({}).status, 2) << "nothing chosen";
    const CommandRun noFolder = pelmar({"backup", "--player", player().string(), "--to",
                                        (folder.path() / "missing").string(), "--all"},
                                       environment());
    EXPECT_EQ(noFolder.status, 4);
    EXPECT_NE(noFolder.err.find("Please choose a valid destination folder before beginning "
                                "backup."),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));
    const CommandRun noDestination =
        pelmar({"backup", "--player", player().string(), "--all"}, environment());
    EXPECT_EQ(noDestination.status, 2);
    EXPECT_EQ(backupWith({"--all", "--existing", "sometimes"}).status, 2);
    EXPECT_EQ(backupWith({"--all", "--folder-format", "Year\\"}).status, 2);
    EXPECT_EQ(countFiles(backup()), 0U);
}

TEST_F(PelmarBackup, FailedItemsGiveStatus1) {
    fs::remove(test::playerFile(player(), written.tracks.front().location));
    const CommandRun run = backupWith({"--songs", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(json::parse(run.out)["failed"], 1);
}

TEST_F(PelmarBackup, CtrlCCancelsBetweenItemsLeavingOnlyCompleteFiles) {
    // Enough tracks that the run is still going when the signal arrives.
    const fs::path big = folder.path() / "big";
    writePlayer(big, 600, false);
    test::RunningPelmar run(
        {"backup", "--player", big.string(), "--to", backup().string(), "--songs"},
        runEnvironment());
    ASSERT_TRUE(run.waitForLine("Processing track 2/"));
    run.signal(SIGINT);
    EXPECT_EQ(run.finish(), 130);
    EXPECT_NE(run.output().find("The backup was cancelled."), std::string::npos) << run.output();
    const std::size_t copied = countFiles(backup());
    EXPECT_GE(copied, 1U);
    EXPECT_LT(copied, 600U);
}

TEST_F(PelmarBackup, KilledAfterAnyItemTheNextRunCompletesTheBackup) {
    const fs::path small = folder.path() / "small";
    const player_image::PlayerImage image = writePlayer(small, 5, true, 3);
    std::set<std::string> sources;
    for (const player_image::Track& track : image.tracks) {
        sources.insert(test::readAll(player_image::mediaFilePath(small, track)));
    }
    const std::vector<std::string> args = {"backup", "--player",        small.string(),
                                           "--to",   backup().string(), "--all"};
    const auto expectOnlyCompleteFiles = [&] {
        for (const auto& entry : fs::recursive_directory_iterator(backup())) {
            const fs::path& path = entry.path();
            if (!entry.is_regular_file() || path.extension() == ".m3u" ||
                path.filename().string().find(".pelmar-") != std::string::npos) {
                continue;
            }
            const std::string content = test::readAll(path);
            if (path.extension() == ".jpg") {
                EXPECT_TRUE(content.starts_with("\xFF\xD8") && content.ends_with("\xFF\xD9"))
                    << path;
            } else {
                EXPECT_TRUE(sources.contains(content)) << path << " is not a whole track";
            }
        }
    };
    const std::size_t items = image.tracks.size() + image.photos.size();
    for (std::size_t item = 1; item <= items; ++item) {
        SCOPED_TRACE("killed at item " + std::to_string(item));
        test::RunningPelmar run(args, runEnvironment());
        const bool photo = item > image.tracks.size();
        const std::string line =
            photo ? "Processing photo " + std::to_string(item - image.tracks.size()) + "/"
                  : "Processing track " + std::to_string(item) + "/";
        ASSERT_TRUE(run.waitForLine(line)) << run.output();
        run.signal(SIGKILL);
        EXPECT_EQ(run.finish(), 128 + SIGKILL);
        expectOnlyCompleteFiles();
    }
    const CommandRun last = pelmar(args, environment());
    ASSERT_EQ(last.status, 0) << last.err;
    expectOnlyCompleteFiles();
    EXPECT_EQ(countFiles(backup()) - countFiles(backup(), ".m3u"), items)
        << "every item is there once, and no temporary file";
}

TEST_F(PelmarBackup, KilledInTheMiddleOfALargeFileTheNextRunLeavesNoStrayFile) {
    const fs::path player = folder.path() / "large";
    const player_image::PlayerImage image = writePlayer(player, 1, false);
    const fs::path source = player_image::mediaFilePath(player, image.tracks[0]);
    const std::string large = [] {
        std::string bytes(48u << 20, '\0');
        for (std::size_t i = 0; i < bytes.size(); i += 4096) {
            bytes[i] = static_cast<char>(i >> 12);
        }
        return bytes;
    }();
    std::ofstream(source, std::ios::binary | std::ios::trunc) << large;
    const std::vector<std::string> args = {"backup", "--player",        player.string(),
                                           "--to",   backup().string(), "--songs"};
    const auto isTrackTemporary = [](std::string_view name) {
        return name.find(".pelmar-") != std::string_view::npos &&
               name.find(".m3u.") == std::string_view::npos;
    };
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // The kill has to land while the copy is under way; should a busy machine let the copy
    // finish first, the backup is taken away and tried again.
    std::string stray;
    for (int attempt = 0; attempt < 5 && stray.empty(); ++attempt) {
        fs::remove_all(backup());
        fs::create_directories(backup());
        ASSERT_GE(::inotify_add_watch(watch, backup().c_str(), IN_MODIFY), 0);
        test::RunningPelmar run(args, runEnvironment());
        alignas(inotify_event) char events[4096];
        bool writing = false;
        while (!writing) {
            const ssize_t n = ::read(watch, events, sizeof events);
            ASSERT_GT(n, 0);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                writing = writing || (event->len > 0 && isTrackTemporary(event->name));
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        run.signal(SIGKILL);
        EXPECT_EQ(run.finish(), 128 + SIGKILL);
        for (const auto& entry : fs::directory_iterator(backup())) {
            if (isTrackTemporary(entry.path().filename().string())) {
                stray = entry.path().string();
            }
        }
    }
    ::close(watch);
    ASSERT_FALSE(stray.empty()) << "no kill landed in the middle of the copy";
    EXPECT_LT(fs::file_size(stray), large.size()) << "the stray file holds part of the track";
    const CommandRun again = pelmar(args, environment());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_FALSE(fs::exists(stray));
    EXPECT_EQ(countFiles(backup()), 1U);
    for (const auto& entry : fs::directory_iterator(backup())) {
        EXPECT_TRUE(test::readAll(entry.path()) == large) << "the track is whole";
    }
}

TEST_F(PelmarBackup, ASecondRunWhileOneIsUnderWayIsRefusedAndWritesNothing) {
    const fs::path log = folder.path() / "runtime" / "pelmar-vantrell" / "Logs" / "transfer.log";
    test::RunningPelmar first(
        {"backup", "--player", player().string(), "--to", backup().string(), "--all"},
        runEnvironment());
    ASSERT_TRUE(first.waitForLine("Processing track 1/"));
    first.signal(SIGSTOP);
    const std::string logSoFar = test::readAll(log);
    ASSERT_FALSE(logSoFar.empty());

    const fs::path elsewhere = folder.path() / "elsewhere";
    fs::create_directories(elsewhere);
    const CommandRun second = pelmar(
        {"backup", "--player", player().string(), "--to", elsewhere.string(), "--all", "--json"},
        environment());
    EXPECT_EQ(second.status, 5);
    EXPECT_NE(second.err.find("Another backup is running; its log is " + log.string()),
              std::string::npos)
        << second.err;
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(test::readAll(log), logSoFar) << "the first run's log is left alone";

    first.signal(SIGCONT);
    EXPECT_EQ(first.finish(), 0);
    EXPECT_EQ(countFiles(backup()) - countFiles(backup(), ".m3u"),
              written.tracks.size() + written.photos.size());

    // Started at the same moment: one runs, the other either runs after it or is refused.
    fs::remove_all(backup());
    fs::create_directories(backup());
    const std::vector<std::string> args = {"backup",          "--player", player().string(), "--to",
                                           backup().string(), "--all",    "--quiet"};
    test::RunningPelmar a(args, runEnvironment());
    test::RunningPelmar b(args, runEnvironment());
    std::vector<int> statuses = {a.finish(), b.finish()};
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ(statuses[0], 0);
    EXPECT_TRUE(statuses[1] == 0 || statuses[1] == 5) << statuses[1];
    EXPECT_EQ(countFiles(backup()) - countFiles(backup(), ".m3u"),
              written.tracks.size() + written.photos.size());
}

}  // namespace
}  // namespace pelmar
