#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "backup/transfer_options.h"
#include "backup/transfer_state.h"
#include "library/kernel_id.h"

namespace pelmar {

class ITunesServer;
class PlayerLibrary;
class TransferObserver;

// Everything one backup run works on. The library is only read, and must not be cleared or
// reloaded while the run lasts.
struct TransferJob {
    const PlayerLibrary& library;
    std::vector<KernelId> tracks;
    std::vector<KernelId> playlists;
    std::vector<KernelId> photos;
    std::vector<std::string> summaryTexts;  // the selection summary's lines, copied into the log
    TransferOptions options;
    std::string logPath;  // "" runs without a log
    TransferControl& control;
    TransferObserver& observer;
    ITunesServer& itunes;
    // Stops a copy under way at once (the file is then not written); null when copies always
    // run to their end.
    const std::atomic<bool>* abortCopy = nullptr;
};

struct TransferResult {
    std::uint32_t copied = 0;
    std::uint32_t skipped = 0;
    std::uint32_t renamed = 0;
    std::uint32_t failed = 0;
    std::uint32_t playlists = 0;
    std::uint32_t covers = 0;
    std::uint32_t tagged = 0;
    bool canceled = false;
};

// Carries out a backup run on the calling thread (the controller starts a thread for it and sets
// the state to Running first): copies the tracks, writes the playlists, saves the photos, logs
// every track and reports through the observer. Pause and cancel take effect between items.
TransferResult TransferWorker(TransferJob& job);

}  // namespace pelmar
