#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <sys/inotify.h>
#include <sys/wait.h>
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

// A `pelmar` running beside the test, so that the test can act at the moments its output
// shows. Killed and reaped at the end of its scope.
class RunningPelmar {
  public:
    RunningPelmar(const std::vector<std::string>& args, const std::string& environment) {
        // The shell says its process id, then becomes the program under that same id.
        std::string command =
            "echo $$; exec env -u PELMAR_PLAYER " + environment + " " + PELMAR_BINARY_PATH;
        for (const std::string& arg : args) {
            command += " " + quoted(arg);
        }
        out_ = ::popen(command.c_str(), "r");
        std::string pid;
        pid_ = readLine(pid) ? std::stoi(pid) : -1;
    }
    ~RunningPelmar() {
        signal(SIGKILL);
        finish();
    }
    RunningPelmar(const RunningPelmar&) = delete;
    RunningPelmar& operator=(const RunningPelmar&) = delete;

    // Reads output lines until one starts with `prefix`; false when the output ends first.
    bool waitForLine(std::string_view prefix) {
        for (std::string line; readLine(line);) {
            output_ += line;
            if (line.starts_with(prefix)) {
                return true;
            }
        }
        return false;
    }
    void signal(int number) const {
        if (pid_ > 0) {
            ::kill(pid_, number);
        }
    }
    // Stops the program and returns once it has stopped: kill() alone may return before.
    void stop() const {
        signal(SIGSTOP);
        int status = 0;
        ::waitpid(pid_, &status, WUNTRACED);
    }
    // Reads the rest of the output; the exit status, or 128 plus the signal that ended it.
    int finish() {
        for (std::string line; readLine(line);) {
            output_ += line;
        }
        const int status = out_ != nullptr ? ::pclose(out_) : -1;
        out_ = nullptr;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    [[nodiscard]] const std::string& output() const { return output_; }

  private:
    bool readLine(std::string& line) {
        char buffer[4096];
        if (out_ == nullptr || std::fgets(buffer, sizeof buffer, out_) == nullptr) {
            return false;
        }
        line = buffer;
        return true;
    }

    std::FILE* out_ = nullptr;
    int pid_ = -1;
    std::string output_;
};

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

    // Another player, of `tracks` tracks and `photos` photos (none: no Photos folder), at `root`.
    static player_image::PlayerImage writePlayer(const fs::path& root, std::uint32_t tracks,
                                                 std::uint32_t photos = 0) {
        player_image::Options other;
        other.trackCount = tracks;
        other.withPhotos = photos > 0;
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
    writePlayer(big, 600);
    RunningPelmar run({"backup", "--player", big.string(), "--to", backup().string(), "--songs"},
                      environment());
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
    const player_image::PlayerImage image = writePlayer(small, 5, 3);
    std::set<std::string> tracks;
    for (const player_image::Track& track : image.tracks) {
        tracks.insert(test::readAll(player_image::mediaFilePath(small, track)));
    }
    const std::vector<std::string> args = {"backup", "--player",        small.string(),
                                           "--to",   backup().string(), "--all"};
    const std::size_t items = image.tracks.size() + image.photos.size();
    for (std::size_t item = 1; item <= items + 1; ++item) {
        RunningPelmar run(args, environment());
        if (item <= items) {
            const bool photo = item > image.tracks.size();
            ASSERT_TRUE(run.waitForLine((photo ? "Processing photo " : "Processing track ") +
                                        std::to_string(photo ? item - image.tracks.size() : item) +
                                        "/"));
            run.signal(SIGKILL);
        }
        EXPECT_EQ(run.finish(), item <= items ? 128 + SIGKILL : 0) << item;
        for (const auto& entry : fs::directory_iterator(backup())) {
            const std::string content = test::readAll(entry.path());
            const std::string extension = entry.path().extension().string();
            EXPECT_TRUE(entry.path().filename().string().find(".pelmar-") != std::string::npos ||
                        extension == ".m3u" || tracks.contains(content) ||
                        (extension == ".jpg" && content.ends_with("\xFF\xD9")))
                << entry.path() << " is not whole, killed at item " << item;
        }
    }
    EXPECT_EQ(countFiles(backup()) - countFiles(backup(), ".m3u"), items)
        << "every item is there once, and no temporary file";
}

TEST_F(PelmarBackup, KilledInTheMiddleOfALargeFileTheNextRunLeavesNoStrayFile) {
    const fs::path large = folder.path() / "large";
    const std::string content(48u << 20, 'x');
    std::ofstream(player_image::mediaFilePath(large, writePlayer(large, 1).tracks[0]),
                  std::ios::binary | std::ios::trunc)
        << content;
    const std::vector<std::string> args = {"backup", "--player",        large.string(),
                                           "--to",   backup().string(), "--songs"};
    // The kill lands as soon as the copy has begun to write; should a busy machine still let the
    // copy finish first, the copy is taken away and the run tried again.
    fs::path stray;
    for (int attempt = 0; attempt < 5 && stray.empty(); ++attempt) {
        fs::remove_all(backup());
        fs::create_directories(backup());
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(::inotify_add_watch(watch, backup().c_str(), IN_MODIFY), 0);
        RunningPelmar run(args, environment());
        alignas(inotify_event) char event[4096];
        ASSERT_GT(::read(watch, event, sizeof event), 0);
        run.signal(SIGKILL);
        run.finish();
        ::close(watch);
        for (const auto& entry : fs::directory_iterator(backup())) {
            if (entry.path().filename().string().find(".pelmar-") != std::string::npos) {
                stray = entry.path();
            }
        }
    }
    ASSERT_FALSE(stray.empty()) << "no kill landed in the middle of the copy";
    EXPECT_LT(fs::file_size(stray), content.size());
    ASSERT_EQ(pelmar(args, environment()).status, 0);
    ASSERT_EQ(countFiles(backup()), 1U) << "the stray file is gone";
    EXPECT_TRUE(test::readAll(fs::directory_iterator(backup())->path()) == content);
}

TEST_F(PelmarBackup, ASecondRunWhileOneIsUnderWayIsRefusedAndWritesNothing) {
    const fs::path log = folder.path() / "runtime" / "pelmar-vantrell" / "Logs" / "transfer.log";
    RunningPelmar first(
        {"backup", "--player", player().string(), "--to", backup().string(), "--all"},
        environment());
    ASSERT_TRUE(first.waitForLine("Processing track 1/"));
    first.stop();
    const std::string logSoFar = test::readAll(log);
    const fs::path elsewhere = folder.path() / "elsewhere";
    fs::create_directories(elsewhere);
    const CommandRun second =
        pelmar({"backup", "--player", player().string(), "--to", elsewhere.string(), "--all"},
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
}

TEST_F(PelmarBackup, WriteTagsTagsTheCopiesAndWritesTheLibraryFile) {
    const fs::path tagging = folder.path() / "tagging";
    player_image::Options small;
    small.trackCount = 3;
    small.withPhotos = false;
    player_image::PlayerImage image = player_image::generatePlayerImage(small);
    for (player_image::Track& track : image.tracks) {
        track.location = track.location.substr(0, track.location.rfind('.')) + ".mp3";
        track.playCount = 7;  // a play count each copy must carry
    }
    std::string error;
    ASSERT_TRUE(player_image::writePlayerImage(image, tagging, small, error)) << error;
    const std::string mp3 = test::readAll(fs::path(PELMAR_TAG_MEDIA_DIR) / "bare.mp3");
    for (const player_image::Track& track : image.tracks) {
        test::writeFile(test::playerFile(tagging, track.location), {mp3.begin(), mp3.end()});
    }
    const CommandRun run = pelmar({"backup", "--player", tagging.string(), "--to",
                                   backup().string(), "--all", "--write-tags"},
                                  environment());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("       3 copies tagged with ratings and play counts."),
              std::string::npos)
        << run.out;
    const json library = json::parse(test::readAll(backup() / "Library.json"));
    ASSERT_EQ(library["tracks"].size(), 3U);
    for (const auto& [relative, entry] : library["tracks"].items()) {
        const std::string copy = test::readAll(backup() / relative);
        EXPECT_NE(copy.find("FMPS_Playcount"), std::string::npos) << relative;
    }
}

}  // namespace
}  // namespace pelmar
