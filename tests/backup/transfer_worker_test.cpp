#include "backup/transfer_worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/resource.h>

#include "backup/backup_options.h"
#include "backup/system_itunes.h"
#include "backup/transfer_observer.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "player_image/player_image.h"
#include "support/fake_itunes.h"
#include "support/temp_folder.h"
#include "util/progress_reporter.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

using test::readAll;

// Remembers what the run showed, and lets a test act at chosen moments of the run.
class RecordingObserver final : public TransferObserver {
  public:
    void setStatusText(std::string_view text) override { record("status " + std::string(text)); }
    void setCounterText(std::string_view text) override { record("counter " + std::string(text)); }
    void setFileProgress(int percent) override { record("file " + std::to_string(percent)); }
    void setOverallProgress(int position) override {
        record("overall " + std::to_string(position));
        if (afterItem) {
            afterItem(position);
        }
    }
    void setResultCounts(std::uint32_t copied, std::uint32_t skipped, std::uint32_t renamed,
                         std::uint32_t failed) override {
        record("counts " + std::to_string(copied) + " " + std::to_string(skipped) + " " +
               std::to_string(renamed) + " " + std::to_string(failed));
    }
    void setPlaylistCount(std::uint32_t created) override {
        record("playlists " + std::to_string(created));
    }
    void setCoverAndTagCounts(std::uint32_t covers, std::uint32_t tagged) override {
        record("covers " + std::to_string(covers) + " tagged " + std::to_string(tagged));
    }
    void setBeginButton(std::string_view text, bool enabled) override {
        record("button " + std::string(text) + (enabled ? " enabled" : " disabled"));
    }
    void enableResultButtons() override { record("result buttons"); }
    void showMessage(std::string_view text) override { record("message " + std::string(text)); }

    std::vector<std::string> events() {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    bool saw(const std::string& event) {
        const auto all = events();
        return std::find(all.begin(), all.end(), event) != all.end();
    }

    std::function<void(int)> afterItem;

  private:
    void record(std::string event) {
        const std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }

    std::mutex mutex_;
    std::vector<std::string> events_;
};

class TransferWorkerTest : public ::testing::Test {
  protected:
    TransferWorkerTest() {
        options.trackCount = 24;
        options.photoCount = 6;
        options.seed = 3;
        written = player_image::generatePlayerImage(options);
        std::string error;
        EXPECT_TRUE(player_image::writePlayerImage(written, player(), options, error)) << error;
        NullProgressReporter progress;
        loadLibraryFromRoot(library, player().string(), progress);
        fs::create_directories(backup());
        settings.destinationFolder = backup().string();
        settings.folderTemplate = "Artist\\Album\\";
        settings.fileTemplate = "Track# - Title.ext";
        settings.existHandling = std::string(kExistDoNotCopy);
    }

    fs::path player() const { return folder.path() / "player"; }
    fs::path backup() const { return folder.path() / "backup"; }
    fs::path logFile() const { return folder.path() / "transfer.log"; }

    // Where the track's media file is on the player.
    fs::path mediaFile(std::uint32_t trackId) const {
        TrackInfo info;
        library.getTrackInfo(trackId, info);
        return test::playerFile(player(), info.location);
    }

    std::vector<KernelId> ids(const std::vector<std::uint32_t>& values) {
        std::vector<KernelId> out;
        for (const std::uint32_t value : values) {
            KernelId id;
            id.id = value;
            out.push_back(id);
        }
        return out;
    }

    std::vector<KernelId> allPlaylists() {
        std::vector<KernelId> out;
        KernelId playlist;
        for (int more = library.firstSortedPlaylist(playlist); more != 0;
             more = library.nextSortedPlaylist(playlist)) {
            out.push_back(playlist);
        }
        return out;
    }

    std::vector<std::uint32_t> allPhotos() {
        std::vector<std::uint32_t> out;
        for (const player_image::Photo& photo : written.photos) {
            out.push_back(photo.id);
        }
        return out;
    }

    TransferResult run(const std::vector<std::uint32_t>& tracks,
                       const std::vector<KernelId>& playlists,
                       const std::vector<std::uint32_t>& photos) {
        TransferJob job{library,
                        ids(tracks),
                        playlists,
                        ids(photos),
                        {"2 tracks, representing:", "stats", ""},
                        settings,
                        logFile().string(),
                        control,
                        observer,
                        itunes};
        control.state.store(TransferState::Running);
        return TransferWorker(job);
    }

    TransferResult runAll() { return run(library.trackIds, allPlaylists(), allPhotos()); }

    // Every file under the backup folder, relative, with no temporary file among them.
    std::vector<std::string> backedUpFiles() {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(backup())) {
            if (entry.is_regular_file()) {
                const std::string name = entry.path().filename().string();
                EXPECT_EQ(name.find(".pelmar-"), std::string::npos) << "temporary file left";
                files.push_back(fs::relative(entry.path(), backup()).string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // Each copied track equals its file on the player.
    void expectCompleteCopies() {
        for (const std::string& relative : backedUpFiles()) {
            const fs::path path = backup() / relative;
            if (path.extension() == ".m3u") {
                continue;
            }
            const std::string content = readAll(path);
            ASSERT_FALSE(content.empty()) << relative;
            if (path.extension() == ".jpg") {
                EXPECT_EQ(content.substr(0, 2), "\xFF\xD8") << relative;
                EXPECT_EQ(content.substr(content.size() - 2), "\xFF\xD9") << relative;
            }
        }
    }

    test::TempFolder folder;
    player_image::Options options;
    player_image::PlayerImage written;
    TextCodec codec{"UTF-8"};
    PlayerLibrary library{codec};
    TransferOptions settings;
    TransferControl control;
    RecordingObserver observer;
    test::FakeITunes itunes;
};

TEST_F(TransferWorkerTest, BacksUpTracksPlaylistsAndPhotosAndCompletes) {
    const TransferResult result = runAll();
    EXPECT_FALSE(result.canceled);
    EXPECT_EQ(result.copied, library.trackIds.size() + written.photos.size());
    EXPECT_EQ(result.failed, 0U);
    EXPECT_EQ(result.playlists, allPlaylists().size());
    EXPECT_EQ(control.state.load(), TransferState::Completed);

    for (const std::uint32_t id : library.trackIds) {
        const fs::path source = mediaFile(id);
        bool found = false;
        for (const std::string& file : backedUpFiles()) {
            if (readAll(backup() / file) == readAll(source)) {
                found = true;
                break;
            }
        }
        EXPECT_TRUE(found) << source;
    }
    expectCompleteCopies();

    const std::vector<std::string> events = observer.events();
    const std::size_t items = library.trackIds.size() + written.photos.size();
    const std::vector<std::string> ending(events.end() - 6, events.end());
    EXPECT_EQ(ending,
              (std::vector<std::string>{"button Completed disabled",
                                        "counter " + std::to_string(items) + " items processed.",
                                        "file 100", "overall " + std::to_string(items),
                                        "status Processing Complete.", "result buttons"}));
}

TEST_F(TransferWorkerTest, LogRecordsEachTrackInOrder) {
    run({library.trackIds[0], library.trackIds[1]}, {}, {});
    const std::string log = readAll(logFile());
    EXPECT_NE(log.find("To locate failed transfers in this log, search for the word 'FAILED'."),
              std::string::npos);
    EXPECT_NE(log.find("TRANSFER SET\n============\n2 tracks, representing:\nstats\n\n"),
              std::string::npos);
    EXPECT_NE(log.find("* Folder format:      Artist\\Album\\\n"), std::string::npos);
    EXPECT_NE(log.find("* Transferred tracks WILL NOT be inserted into iTunes library.\n"),
              std::string::npos);
    const std::size_t first = log.find("0001. Copying \"");
    const std::size_t second = log.find("0002. Copying \"");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_NE(log.find("\n      to: " + backup().string() + "/"), std::string::npos);
    EXPECT_NE(log.find("      starting copy...\n      SUCCEEDED.\n\n\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 20), "\n\nTRANSFER COMPLETE\n");
}

TEST_F(TransferWorkerTest, ExistingFilesAreSkippedRenamedOrReplaced) {
    const std::vector<std::uint32_t> first{library.trackIds[0]};
    run(first, {}, {});
    const std::vector<std::string> once = backedUpFiles();
    ASSERT_EQ(once.size(), 1U);
    const fs::path copied = backup() / once[0];
    std::ofstream(copied, std::ios::binary) << "changed on the computer";

    TransferResult skipped = run(first, {}, {});
    EXPECT_EQ(skipped.skipped, 1U);
    EXPECT_EQ(readAll(copied), "changed on the computer");
    EXPECT_NE(readAll(logFile()).find("destination file exists...\n      SKIPPED."),
              std::string::npos);

    settings.existHandling = std::string(kExistCopyToNewName);
    const TransferResult renamed = run(first, {}, {});
    EXPECT_EQ(renamed.renamed, 1U);
    EXPECT_EQ(renamed.copied, 1U);
    const fs::path copy1 =
        copied.parent_path() / (copied.stem().string() + " (copy 1)" + copied.extension().string());
    EXPECT_TRUE(fs::exists(copy1));
    EXPECT_NE(readAll(logFile()).find("copying to new name: " + copy1.string()), std::string::npos);

    settings.existHandling = std::string(kExistOverwrite);
    const TransferResult replaced = run(first, {}, {});
    EXPECT_EQ(replaced.copied, 1U);
    EXPECT_EQ(readAll(copied), readAll(copy1)) << "the player's file again";
    EXPECT_NE(readAll(logFile()).find("deleting existing file...\n      starting copy..."),
              std::string::npos);
    EXPECT_EQ(backedUpFiles().size(), 2U);
}

TEST_F(TransferWorkerTest, NeverTakesAnExistingNameWhenAllCopyNumbersAreUsed) {
    const std::vector<std::uint32_t> first{library.trackIds[0]};
    run(first, {}, {});
    const fs::path copied = backup() / backedUpFiles()[0];
    for (int n = 1; n <= 251; ++n) {
        std::ofstream(copied.parent_path() /
                      (copied.stem().string() + " (copy " + std::to_string(n) + ")" +
                       copied.extension().string()))
            << n;
    }
    settings.existHandling = std::string(kExistCopyToNewName);
    const TransferResult result = run(first, {}, {});
    EXPECT_EQ(result.failed, 1U);
    EXPECT_EQ(result.renamed, 0U);
    EXPECT_NE(readAll(logFile()).find("FAILED...(every name up to \"(copy 251)\" exists already)."),
              std::string::npos);
    EXPECT_EQ(readAll(copied.parent_path() /
                      (copied.stem().string() + " (copy 251)" + copied.extension().string())),
              "251");
}

TEST_F(TransferWorkerTest, PhotosFollowTheExistingFileRulesToo) {
    const std::vector<std::uint32_t> photos{allPhotos()[0]};
    run({}, {}, photos);
    ASSERT_EQ(backedUpFiles().size(), 1U);
    EXPECT_EQ(run({}, {}, photos).skipped, 1U);
    settings.existHandling = std::string(kExistCopyToNewName);
    EXPECT_EQ(run({}, {}, photos).renamed, 1U);
    const std::vector<std::string> files = backedUpFiles();
    ASSERT_EQ(files.size(), 2U);
    EXPECT_NE(files[0].find(" (copy 1).jpg"), std::string::npos) << files[0];
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, PlaylistsListSkippedAndRenamedTracksButNotFailedOnes) {
    std::vector<KernelId> playlists = allPlaylists();
    std::vector<std::uint32_t> tracks = library.trackIds;
    run(tracks, {}, {});
    // Every track exists now; make one fail by taking its file off the player.
    const std::uint32_t lost = tracks[2];
    const fs::path source = mediaFile(lost);
    fs::remove(source);
    for (const std::string& file : backedUpFiles()) {
        fs::remove(backup() / file);
    }
    run({tracks[0]}, {}, {});
    settings.existHandling = std::string(kExistCopyToNewName);
    const TransferResult result = run(tracks, playlists, {});
    EXPECT_EQ(result.failed, 1U);
    EXPECT_EQ(result.renamed, 1U);
    const std::string log = readAll(logFile());
    EXPECT_NE(log.find("FAILED...(Error code 2)."), std::string::npos);

    const std::string master = readAll(backup() / (library.playlistNames[1] + ".m3u"));
    (void)master;
    bool sawRenamed = false;
    for (const std::string& file : backedUpFiles()) {
        if (file.size() < 4 || file.substr(file.size() - 4) != ".m3u") {
            continue;
        }
        const std::string text = readAll(backup() / file);
        sawRenamed = sawRenamed || text.find(" (copy 1).") != std::string::npos;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_TRUE(fs::exists(backup() / (line.rfind("./", 0) == 0 ? line.substr(2) : line)))
                << file << ": " << line;
        }
    }
    EXPECT_TRUE(sawRenamed) << "a renamed track is listed under its new name";
}

TEST_F(TransferWorkerTest, LocationsLeadingOutsideThePlayerAreNotRead) {
    library.tracks.at(library.trackIds[0]).location = ":iPod_Control:..:..:secret.mp3";
    const TransferResult result = run({library.trackIds[0]}, {}, {});
    EXPECT_EQ(result.failed, 1U);
    EXPECT_NE(readAll(logFile()).find("FAILED...(the track's location leads outside the player)."),
              std::string::npos);
    EXPECT_TRUE(backedUpFiles().empty());
}

TEST_F(TransferWorkerTest, LinksOnThePlayerAreFollowedOnlyWhileTheyStayOnIt) {
    const fs::path outside = folder.path() / "home";
    test::writeFile(outside / "id_rsa", {'s', 'e', 'c', 'r', 'e', 't'});
    const fs::path links = player() / "iPod_Control" / "Music" / "LNK";
    fs::create_directories(links);
    const fs::path inside = mediaFile(library.trackIds[0]);
    fs::create_symlink(outside / "id_rsa", links / "file-outside.mp3");
    fs::create_directory_symlink(outside, links / "folder-outside");
    fs::create_symlink(fs::relative(inside, links), links / "inside.mp3");
    fs::create_symlink("loop.mp3", links / "loop.mp3");
    std::vector<std::uint32_t> tracks;
    for (const char* name :
         {"file-outside.mp3", "folder-outside:id_rsa", "inside.mp3", "loop.mp3"}) {
        tracks.push_back(library.trackIds[tracks.size() + 1]);
        library.tracks.at(tracks.back()).location = std::string(":iPod_Control:Music:LNK:") + name;
    }
    const TransferResult result = run(tracks, {}, {});
    EXPECT_EQ(result.copied, 1U);
    EXPECT_EQ(result.failed, 3U);
    std::istringstream log(readAll(logFile()));
    std::size_t refusals = 0;
    for (std::string line; std::getline(log, line);) {
        refusals += line == "      FAILED...(the file on the player is a link that leads outside "
                            "the player)."
                        ? 1
                        : 0;
    }
    EXPECT_EQ(refusals, 3U);
    const std::vector<std::string> files = backedUpFiles();
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(readAll(backup() / files[0]), readAll(inside));
}

TEST_F(TransferWorkerTest, WhatKilledRunsLeftInAFolderIsClearedBeforeTheRunWritesThere) {
    run({library.trackIds[0]}, {}, {});
    const fs::path copied = backup() / backedUpFiles().at(0);
    fs::remove(copied);
    const fs::path stale = copied.parent_path() / ".Song.mp3.pelmar-k1ll3d";
    const fs::path elsewhere = backup() / "Elsewhere" / ".Song.mp3.pelmar-k1ll3d";
    test::writeFile(stale, {'h'});
    test::writeFile(elsewhere, {'h'});
    EXPECT_EQ(run({library.trackIds[0]}, {}, {}).copied, 1U);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(elsewhere)) << "a folder the run does not write into is left alone";
}

TEST_F(TransferWorkerTest, PauseWaitsBetweenItemsAndContinueResumes) {
    std::mutex mutex;
    std::condition_variable paused;
    bool pausedNow = false;
    observer.afterItem = [&](int position) {
        if (position == 2) {
            control.state.store(TransferState::Paused);
            const std::lock_guard lock(mutex);
            pausedNow = true;
            paused.notify_one();
        }
    };
    TransferResult result;
    std::thread worker([&] { result = run(library.trackIds, {}, {}); });
    {
        std::unique_lock lock(mutex);
        paused.wait(lock, [&] { return pausedNow; });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(observer.saw("overall 3")) << "nothing happens while paused";
    control.change(TransferState::Running);
    worker.join();
    EXPECT_EQ(result.copied, library.trackIds.size());
    EXPECT_FALSE(result.canceled);
}

TEST_F(TransferWorkerTest, CancelWhilePausedEndsTheRunWithoutPlaylistsOrPhotos) {
    std::thread canceler;
    observer.afterItem = [&](int position) {
        if (position == 3) {
            control.change(TransferState::Paused);
            canceler = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                control.change(TransferState::Canceled);
            });
        }
    };
    const TransferResult result = runAll();
    // The canceler may still be inside its signal when the worker has already seen the state.
    canceler.join();
    EXPECT_TRUE(result.canceled);
    EXPECT_EQ(result.copied, 3U);
    EXPECT_EQ(result.playlists, 0U);
    const std::string log = readAll(logFile());
    EXPECT_EQ(log.find("TRANSFER COMPLETE"), std::string::npos);
    EXPECT_NE(log.find("0003. Copying"), std::string::npos);
    EXPECT_EQ(log.find("0004. Copying"), std::string::npos);
    EXPECT_FALSE(observer.saw("result buttons"));
    EXPECT_EQ(backedUpFiles().size(), 3U);
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, SourceVanishingDuringTheRunFailsOnlyThatTrack) {
    const std::uint32_t later = library.trackIds[5];
    const fs::path source = mediaFile(later);
    observer.afterItem = [&](int position) {
        if (position == 1) {
            fs::remove(source);
        }
    };
    const TransferResult result = run(library.trackIds, {}, {});
    EXPECT_EQ(result.failed, 1U);
    EXPECT_EQ(result.copied, library.trackIds.size() - 1);
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, SourcesStoredInAnotherCaseAreFoundAndCopied) {
    // A player copied onto a file system that minds case: the database's names no longer match.
    const std::uint32_t moved = library.trackIds[2];
    const fs::path exact = mediaFile(moved);
    const fs::path musicFolder = exact.parent_path();
    const auto lowered = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    const std::string lowerName = lowered(exact.filename().string());
    const std::string lowerFolder = lowered(musicFolder.filename().string());
    ASSERT_NE(lowerName, exact.filename().string()) << "the test needs a name with capitals";
    ASSERT_NE(lowerFolder, musicFolder.filename().string())
        << "the test needs a folder with capitals";
    fs::rename(exact, musicFolder / lowerName);
    fs::rename(musicFolder, musicFolder.parent_path() / lowerFolder);
    const TransferResult result = run({moved}, {}, {});
    EXPECT_EQ(result.copied, 1U);
    EXPECT_EQ(result.failed, 0U);
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, BackupFolderRemovedDuringTheRunIsNotMadeAgain) {
    observer.afterItem = [&](int position) {
        if (position == 2) {
            fs::remove_all(backup());
        }
    };
    const TransferResult result = runAll();
    EXPECT_EQ(result.copied, 2U);
    EXPECT_EQ(result.failed, library.trackIds.size() - 2 + written.photos.size());
    EXPECT_FALSE(fs::exists(backup())) << "nothing may land where the backup folder was";
    EXPECT_NE(readAll(logFile()).find("the backup folder no longer exists"), std::string::npos);
}

TEST_F(TransferWorkerTest, PlayerUnpluggedDuringTheRunFailsTheRestAndKeepsWhatWasCopied) {
    observer.afterItem = [&](int position) {
        if (position == 3) {
            fs::rename(player() / "iPod_Control", folder.path() / "unplugged");
            fs::rename(player() / "Photos", folder.path() / "unplugged-photos");
        }
    };
    const TransferResult result = runAll();
    EXPECT_EQ(result.copied, 3U);
    EXPECT_EQ(result.failed, library.trackIds.size() - 3 + written.photos.size());
    std::size_t media = 0;
    for (const std::string& file : backedUpFiles()) {
        media += fs::path(file).extension() == ".m3u" ? 0 : 1;
    }
    EXPECT_EQ(media, 3U);
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, UnreadableSourceFailsThatTrackAndLeavesNoFile) {
    const std::uint32_t broken = library.trackIds[1];
    const fs::path source = mediaFile(broken);
    // A folder where the file should be cannot be read as one, whoever runs the test.
    fs::remove(source);
    fs::create_directories(source);
    const TransferResult result = run({library.trackIds[0], broken, library.trackIds[2]}, {}, {});
    EXPECT_EQ(result.copied, 2U);
    EXPECT_EQ(result.failed, 1U);
    EXPECT_EQ(backedUpFiles().size(), 2U);
}

TEST_F(TransferWorkerTest, CancelOrPauseAtAnyPointBetweenItemsLeavesOnlyCompleteFiles) {
    const std::vector<std::uint32_t> tracks(library.trackIds.begin(), library.trackIds.begin() + 4);
    const std::vector<std::uint32_t> photos{allPhotos().front(), allPhotos().back()};
    const int items = static_cast<int>(tracks.size() + photos.size());
    for (int stop = 1; stop <= items; ++stop) {
        SCOPED_TRACE("after item " + std::to_string(stop));
        fs::remove_all(backup());
        fs::create_directories(backup());
        observer.afterItem = [&](int position) {
            if (position == stop) {
                control.change(TransferState::Canceled);
            }
        };
        const TransferResult canceled = run(tracks, allPlaylists(), photos);
        EXPECT_TRUE(canceled.canceled);
        EXPECT_EQ(canceled.copied, static_cast<std::uint32_t>(stop));
        // Playlists are written between the tracks and the photos.
        const bool inPhotoPass = stop > static_cast<int>(tracks.size());
        EXPECT_EQ(canceled.playlists, inPhotoPass ? allPlaylists().size() : 0U);
        std::size_t media = 0;
        for (const std::string& file : backedUpFiles()) {
            media += fs::path(file).extension() == ".m3u" ? 0 : 1;
        }
        EXPECT_EQ(media, static_cast<std::size_t>(stop));
        expectCompleteCopies();

        fs::remove_all(backup());
        fs::create_directories(backup());
        std::thread resumer;
        observer.afterItem = [&](int position) {
            if (position == stop && !resumer.joinable()) {
                control.change(TransferState::Paused);
                resumer = std::thread([this] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    control.change(TransferState::Running);
                });
            }
        };
        const TransferResult resumed = run(tracks, allPlaylists(), photos);
        resumer.join();
        EXPECT_FALSE(resumed.canceled);
        EXPECT_EQ(resumed.copied, static_cast<std::uint32_t>(items));
        EXPECT_EQ(resumed.playlists, allPlaylists().size());
        expectCompleteCopies();
    }
}

TEST_F(TransferWorkerTest, FullDestinationLeavesOnlyCompleteFiles) {
    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 20 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const TransferResult result = runAll();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_GT(result.failed, 0U);
    EXPECT_NE(readAll(logFile()).find("FAILED...(Error code 27)."), std::string::npos) << "EFBIG";
    expectCompleteCopies();
}

TEST_F(TransferWorkerTest, UnusableDestinationFailsEveryItemAndWritesNothing) {
    std::ofstream(folder.path() / "not-a-folder") << "x";
    settings.destinationFolder = (folder.path() / "not-a-folder").string();
    const TransferResult result = runAll();
    EXPECT_EQ(result.copied, 0U);
    EXPECT_EQ(result.failed, library.trackIds.size() + written.photos.size());
    EXPECT_EQ(result.playlists, 0U);
    EXPECT_EQ(readAll(folder.path() / "not-a-folder"), "x");
}

TEST_F(TransferWorkerTest, InsertsIntoITunesWhenEnabled) {
    settings.enableITunes = 1;
    const TransferResult result =
        run({library.trackIds[0], library.trackIds[1]}, allPlaylists(), {});
    EXPECT_EQ(itunes.libraryFiles().size(), 2U);
    EXPECT_EQ(itunes.playlists().size(), allPlaylists().size());
    const std::string log = readAll(logFile());
    EXPECT_NE(log.find("  Connection to iTunes library succeeded.\n"), std::string::npos);
    EXPECT_NE(log.find("      attempting to insert into iTunes library...succeeded."),
              std::string::npos);
    EXPECT_EQ(result.failed, 0U);
    EXPECT_EQ(itunes.liveObjects(), 0) << "everything released at the end of the run";
}

TEST_F(TransferWorkerTest, WithoutITunesOnThisSystemTheConnectionIsLoggedAsFailed) {
    settings.enableITunes = 1;
    SystemITunesServer none;
    TransferJob job{library,  ids({library.trackIds[0]}), {},      {},       {"", "", ""},
                    settings, logFile().string(),         control, observer, none};
    control.state.store(TransferState::Running);
    const TransferResult result = TransferWorker(job);
    EXPECT_EQ(result.copied, 1U);
    const std::string log = readAll(logFile());
    EXPECT_NE(log.find("  Connection to iTunes library failed.\n"), std::string::npos);
    EXPECT_EQ(log.find("attempting to insert"), std::string::npos);
    EXPECT_TRUE(observer.saw("status Connecting to iTunes..."));
}

TEST_F(TransferWorkerTest, RunsWithoutALogWhenNoneCanBeWritten) {
    TransferJob job{
        library, ids({library.trackIds[0]}), {}, {}, {"", "", ""}, settings, "", control, observer,
        itunes};
    control.state.store(TransferState::Running);
    EXPECT_EQ(TransferWorker(job).copied, 1U);
}

}  // namespace
}  // namespace pelmar
