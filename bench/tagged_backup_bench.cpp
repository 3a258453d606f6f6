// A whole backup of 1,000 real 4 MB tracks (MP3 and M4A in turn, from PELMAR_TAG_BENCH_MEDIA,
// made by bench/tagged_backup_run) with the ratings, play counts, missing tags and the album
// picture written into the copies, against the same backup without them, in one run. Player and
// backup folders share one disk: WORK_FOLDER (the first argument). The runs alternate, each into a
// fresh folder after a sync, and the ratio is that of the summed times.
//   tagged_backup_bench WORK_FOLDER [ROUNDS]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "backup/backup_options.h"
#include "backup/system_itunes.h"
#include "backup/transfer_observer.h"
#include "backup/transfer_worker.h"
#include "library/player_library.h"
#include "library/player_loader.h"
#include "player_image/player_image.h"
#include "util/progress_reporter.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kTracks = 1000;
constexpr const char* kMedia[] = {"track.mp3", "track.m4a"};

class QuietObserver final : public pelmar::TransferObserver {
  public:
    void setStatusText(std::string_view) override {}
    void setCounterText(std::string_view) override {}
    void setFileProgress(int) override {}
    void setOverallProgress(int) override {}
    void setResultCounts(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override {}
    void setPlaylistCount(std::uint32_t) override {}
    void setCoverAndTagCounts(std::uint32_t, std::uint32_t) override {}
    void setBeginButton(std::string_view, bool) override {}
    void enableResultButtons() override {}
    void showMessage(std::string_view) override {}
};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "tagged_backup_bench: %s\n", why.c_str());
    std::exit(1);
}

std::string extensionOf(const char* name) {
    const std::string text(name);
    return text.substr(text.rfind('.') + 1);
}

// A player of the classic (its tracks have album artwork) whose tracks are the real media files.
fs::path writePlayer(const fs::path& work, const fs::path& media) {
    const fs::path root = work / "player";
    if (fs::exists(root / ".complete")) {
        return root;
    }
    fs::remove_all(root);
    auto options = pelmar::player_image::optionsFor(pelmar::player_image::Model::Classic);
    options.trackCount = kTracks;
    options.withPhotos = false;
    options.withMedia = false;
    auto image = pelmar::player_image::generatePlayerImage(options);
    for (std::size_t i = 0; i < image.tracks.size(); ++i) {
        std::string& location = image.tracks[i].location;
        location = location.substr(0, location.rfind('.') + 1) + extensionOf(kMedia[i % 2]);
    }
    std::string error;
    if (!pelmar::player_image::writePlayerImage(image, root, options, error)) {
        fail("cannot write the player: " + error);
    }
    for (std::size_t i = 0; i < image.tracks.size(); ++i) {
        std::string relative = image.tracks[i].location.substr(1);
        std::replace(relative.begin(), relative.end(), ':', '/');
        fs::create_directories((root / relative).parent_path());
        fs::copy_file(media / kMedia[i % 2], root / relative, fs::copy_options::overwrite_existing);
    }
    std::FILE* done = std::fopen((root / ".complete").c_str(), "w");
    if (done != nullptr) {
        std::fclose(done);
    }
    return root;
}

struct Outcome {
    double seconds = 0;
    pelmar::TransferResult result;
};

Outcome backUp(const pelmar::PlayerLibrary& library, const fs::path& destination, bool tags) {
    fs::remove_all(destination);
    fs::create_directories(destination);
    ::sync();
    pelmar::TransferOptions options;
    options.destinationFolder = destination.string();
    options.folderTemplate = "Artist\\Album\\";
    options.fileTemplate = "Track# - Title.ext";
    options.existHandling = std::string(pelmar::kExistCopyToNewName);  // some share a name
    options.saveArtwork = 0;
    options.writeTags = tags ? 1 : 0;
    std::vector<pelmar::KernelId> tracks;
    for (const std::uint32_t id : library.trackIds) {
        pelmar::KernelId track;
        track.id = id;
        tracks.push_back(track);
    }
    pelmar::TransferControl control;
    QuietObserver observer;
    pelmar::SystemITunesServer itunes;
    pelmar::TransferJob job{library, tracks, {}, {}, {}, options, "", control, observer, itunes};
    control.state.store(pelmar::TransferState::Running);
    const auto start = Clock::now();
    Outcome outcome;
    outcome.result = pelmar::TransferWorker(job);
    ::sync();
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return outcome;
}

}  // namespace

int main(int argc, char** argv) {
    const char* media = std::getenv("PELMAR_TAG_BENCH_MEDIA");
    if (argc < 2 || media == nullptr) {
        fail("usage: PELMAR_TAG_BENCH_MEDIA=FOLDER tagged_backup_bench WORK_FOLDER [ROUNDS]");
    }
    const fs::path work = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 2;
    const fs::path root = writePlayer(work, media);
    pelmar::TextCodec codec{"UTF-8"};
    pelmar::PlayerLibrary library{codec};
    pelmar::NullProgressReporter progress;
    pelmar::loadLibraryFromRoot(library, root.string(), progress);
    if (library.trackIds.size() != kTracks) {
        fail("the player holds " + std::to_string(library.trackIds.size()) + " tracks");
    }

    double plain = 0;
    double tagged = 0;
    std::uint32_t taggedCopies = 0;
    std::uint32_t copied = 0;
    for (int round = 0; round < rounds; ++round) {
        // Each order in turn, so that neither kind of run always meets the disk after the other.
        for (const bool tags : {round % 2 == 1, round % 2 == 0}) {
            const Outcome outcome = backUp(library, work / "backup", tags);
            // The few tracks the image makes hostile fail alike in every run.
            if (copied == 0) {
                copied = outcome.result.copied;
            }
            if (outcome.result.copied != copied || copied < kTracks * 99 / 100) {
                fail("a backup copied " + std::to_string(outcome.result.copied) + " tracks");
            }
            (tags ? tagged : plain) += outcome.seconds;
            if (tags) {
                taggedCopies = outcome.result.tagged;
            }
            std::printf("%-10s %7.2f s\n", tags ? "tagged" : "plain", outcome.seconds);
        }
    }
    fs::remove_all(work / "backup");
    std::printf("%u tracks copied, %u of them tagged\n", copied, taggedCopies);
    std::printf("tagged backup / plain backup = %.3f (target at most 1.20)\n", tagged / plain);
    return 0;
}
