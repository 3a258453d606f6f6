#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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
    player_image::Options large;
    large.trackCount = 600;
    large.withPhotos = false;
    std::string error;
    const fs::path big = folder.path() / "big";
    ASSERT_TRUE(
        player_image::writePlayerImage(player_image::generatePlayerImage(large), big, large, error))
        << error;
    int output[2];
    ASSERT_EQ(::pipe(output), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::setenv("PELMAR_CONFIG_DIR", (folder.path() / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (folder.path() / "runtime").c_str(), 1);
        ::execl(PELMAR_BINARY_PATH, "pelmar", "backup", "--player", big.c_str(), "--to",
                backup().c_str(), "--songs", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(output[1]);
    std::FILE* lines = ::fdopen(output[0], "r");
    char line[4096];
    bool started = false;
    while (std::fgets(line, sizeof line, lines) != nullptr) {
        if (std::string(line).rfind("Processing track 2/", 0) == 0) {
            started = true;
            ::kill(child, SIGINT);
            break;
        }
    }
    std::string rest;
    while (std::fgets(line, sizeof line, lines) != nullptr) {
        rest += line;
    }
    std::fclose(lines);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_NE(rest.find("The backup was cancelled."), std::string::npos) << rest;
    const std::size_t copied = countFiles(backup());
    EXPECT_GE(copied, 1U);
    EXPECT_LT(copied, 600U);
}

}  // namespace
}  // namespace pelmar
