#include "cli/backup_command.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <pthread.h>

#include "backup/backup_checks.h"
#include "backup/backup_options.h"
#include "backup/backup_selection.h"
#include "backup/selection_summary.h"
#include "backup/system_itunes.h"
#include "backup/transfer_log.h"
#include "backup/transfer_options.h"
#include "backup/transfer_worker.h"
#include "cli/backup_targets.h"
#include "cli/json_writer.h"
#include "cli/player_session.h"
#include "cli/transfer_display.h"
#include "library/player_library.h"
#include "library/track_search.h"
#include "platform/system_volumes.h"
#include "util/settings_store.h"

namespace pelmar::cli {

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The choice's own text for a value given on the command line, or "" when it is none of them.
template <std::size_t N>
std::string choose(std::string_view given, const std::array<std::string_view, N>& choices) {
    for (const std::string_view choice : choices) {
        if (equalNoCase(choice, given)) {
            return std::string(choice);
        }
    }
    return {};
}

std::string existingMode(std::string_view given) {
    if (given == "skip") {
        return std::string(kExistDoNotCopy);
    }
    if (given == "overwrite") {
        return std::string(kExistOverwrite);
    }
    if (given == "rename") {
        return std::string(kExistCopyToNewName);
    }
    return choose(given, kExistingFileChoices);
}

template <std::size_t N>
std::string listOf(const std::array<std::string_view, N>& choices) {
    std::string text;
    for (const std::string_view choice : choices) {
        text += "\n  ";
        text += choice;
    }
    return text;
}

// Applies the command line's options for this run; "" when they are usable, else why not.
std::string applyOverrides(const BackupRequest& request, TransferOptions& options) {
    if (!request.folderFormat.empty()) {
        options.folderTemplate = choose(request.folderFormat, kFolderTemplates);
        if (options.folderTemplate.empty()) {
            return "--folder-format must be one of:" + listOf(kFolderTemplates);
        }
    }
    if (!request.fileFormat.empty()) {
        options.fileTemplate = choose(request.fileFormat, kFileTemplates);
        if (options.fileTemplate.empty()) {
            return "--file-format must be one of:" + listOf(kFileTemplates);
        }
    }
    if (!request.existing.empty()) {
        options.existHandling = existingMode(request.existing);
        if (options.existHandling.empty()) {
            return "--existing must be skip, overwrite or rename";
        }
    }
    if (request.itunes) {
        options.enableITunes = 1;
    }
    if (request.artwork || request.noArtwork) {
        options.saveArtwork = request.artwork ? 1 : 0;
    }
    if (request.writeTags) {
        options.writeTags = 1;
    }
    if (!request.destination.empty()) {
        std::string folder = std::filesystem::absolute(request.destination).lexically_normal();
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        options.destinationFolder = folder;
    }
    if (options.destinationFolder.empty()) {
        return "no backup folder: give --to DEST, or store one with 'pelmar options set "
               "DstFolder DEST'";
    }
    return {};
}

std::vector<std::string> summaryLines(const SelectionSummary& summary) {
    return {summary.tracksLine, summary.statisticsLine, summary.photosLine};
}

// Runs the worker on its own thread while this one answers Ctrl-C: the first press cancels
// after the item under way, the second stops that item at once.
TransferResult runInterruptibly(TransferJob& job, std::atomic<bool>& abortCopy, FILE* messages,
                                TransferDisplay& display) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigaddset(&interrupt, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);

    std::atomic<bool> done{false};
    TransferResult result;
    job.control.state.store(TransferState::Running);
    std::thread worker([&] {
        result = TransferWorker(job);
        done.store(true);
    });
    int presses = 0;
    const timespec wait{0, 100'000'000};
    while (!done.load()) {
        if (sigtimedwait(&interrupt, nullptr, &wait) < 0) {
            continue;
        }
        ++presses;
        display.clear();
        if (presses == 1) {
            job.control.change(TransferState::Canceled);
            std::fprintf(messages,
                         "pelmar: cancelling after the item under way (press Ctrl-C again to "
                         "stop it at once)\n");
        } else {
            abortCopy.store(true);
        }
    }
    worker.join();
    pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    return result;
}

void printResults(const TransferResult& result, const std::string& logPath, bool json) {
    if (json) {
        OutputBuffer out(stdout);
        JsonWriter writer(out);
        writer.beginObject();
        const std::pair<const char*, std::uint32_t> counts[] = {
            {"copied", result.copied}, {"skipped", result.skipped},     {"renamed", result.renamed},
            {"failed", result.failed}, {"playlists", result.playlists}, {"covers", result.covers},
            {"tagged", result.tagged}};
        for (const auto& [key, value] : counts) {
            writer.key(key);
            writer.number(value);
        }
        writer.key("canceled");
        writer.boolean(result.canceled);
        writer.key("log");
        if (logPath.empty()) {
            writer.null();
        } else {
            writer.string(logPath);
        }
        writer.endObject();
        return;
    }
    std::printf("%8u items successfully copied.\n", result.copied);
    std::printf("%8u items skipped because they exist already.\n", result.skipped);
    std::printf("%8u items renamed because they exist already.\n", result.renamed);
    std::printf("%8u items not copied due to error.\n", result.failed);
    std::printf("%8u playlists created.\n", result.playlists);
    std::printf("%8u album covers saved.\n", result.covers);
    std::printf("%8u copies tagged with ratings and play counts.\n", result.tagged);
    if (result.canceled) {
        std::printf("The backup was cancelled.\n");
    }
    std::printf("Log: %s\n", logPath.empty() ? "(none could be written)" : logPath.c_str());
}

}  // namespace

bool BackupRequest::choosesSomething() const {
    return all || songs || videos || podcasts || photos || !playlists.empty() || !artists.empty() ||
           !albums.empty() || !genres.empty() || !composers.empty() || !photoAlbums.empty() ||
           !searches.empty();
}

int runBackup(const BackupRequest& request) {
    if (!request.choosesSomething()) {
        std::fprintf(stderr,
                     "pelmar: choose what to back up: --all, or any of --songs, --videos, "
                     "--podcasts, --photos, --playlist, --artist, --album, --genre, --composer, "
                     "--photo-album, --search\n");
        return kExitUsage;
    }
    SettingsStore settings(SettingsStore::defaultFolder());
    TransferOptions options = readTransferOptions(settings);
    if (const std::string problem = applyOverrides(request, options); !problem.empty()) {
        std::fprintf(stderr, "pelmar: %s\n", problem.c_str());
        return kExitUsage;
    }

    PlayerLibrary library;
    const SystemVolumes system;
    if (const int status = openPlayer(request.player, library, system, stderr); status != kExitOk) {
        return status;
    }
    std::vector<std::uint32_t> searchResults;
    for (const std::string& term : request.searches) {
        for (const std::uint32_t id : searchTracks(library, library.codec().toUtf8(term))) {
            searchResults.push_back(id);
        }
    }
    NodeSource source{library, searchResults,
                      [&system](const std::string& path) { return system.space(path); }};
    const BackupTargets targets = findBackupTargets(source, request);
    if (!targets.missing.empty()) {
        std::fprintf(stderr, "pelmar: the player has %s\n", targets.missing.c_str());
        return kExitUsage;
    }
    const BackupSelection selection = CollectBackupSelection(source, targets.nodes);
    const SelectionSummary summary = summarizeSelection(library, selection);

    FILE* report = request.json ? stderr : stdout;
    if (!request.quiet) {
        std::fprintf(report, "%sBackup to: %s\n", summary.text().c_str(),
                     options.destinationFolder.c_str());
    }
    const SelectionTotals totals = SelectionStatistics(selection.tracks, library);
    if (const std::optional<std::string> refusal =
            checkBeforeBackup(options.destinationFolder, totals.kilobytes, volumeFreeBytes)) {
        std::fprintf(stderr, "%s\n", refusal->c_str());
        return kExitRefused;
    }

    const std::string logPath = LogPath(settings);
    const LogReservation reservation = reserveLog(logPath);
    if (reservation.heldByOtherRun) {
        std::fprintf(stderr, "%s\n", otherRunMessage(logPath).c_str());
        return kExitOtherRun;
    }
    TransferControl control;
    TransferDisplay display(report, request.quiet,
                            static_cast<int>(selection.tracks.size() + selection.photos.size()));
    SystemITunesServer itunes;
    std::atomic<bool> abortCopy{false};
    TransferJob job{library,
                    selection.tracks,
                    selection.playlists,
                    selection.photos,
                    summaryLines(summary),
                    options,
                    logPath,
                    control,
                    display,
                    itunes,
                    &abortCopy};
    const TransferResult result = runInterruptibly(job, abortCopy, stderr, display);
    display.clear();
    printResults(result, logPath, request.json);
    if (result.canceled) {
        return kExitCanceled;
    }
    return result.failed > 0 ? kExitFailed : kExitOk;
}

}  // namespace pelmar::cli
