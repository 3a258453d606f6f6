#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "backup/transfer_observer.h"

namespace pelmar {

// Everything the progress page shows of a run, as the worker last set it.
struct TransferView {
    std::string statusText;
    std::string counterText;
    int filePercent = 0;
    int overallPosition = 0;
    std::uint32_t copied = 0;
    std::uint32_t skipped = 0;
    std::uint32_t renamed = 0;
    std::uint32_t failed = 0;
    std::uint32_t playlists = 0;
    std::uint32_t covers = 0;
    std::uint32_t tagged = 0;
    std::optional<std::string> beginText;  // none while the worker has not set the button
    bool beginEnabled = true;
    bool resultButtonsEnabled = false;
    std::vector<std::string> messages;  // shown once each, in order, then dropped
    bool finished = false;              // the worker has returned
};

// Takes the worker's reports on its thread and hands the page the latest of them on the UI
// thread. The worker reports far more often than a screen can show (a backup of 100,000 small
// files sends a million updates); the page collects them a frame at a time, so it is never held
// up by the worker and the worker never waits for the page.
class TransferSnapshot final : public TransferObserver {
  public:
    void setStatusText(std::string_view text) override;
    void setCounterText(std::string_view text) override;
    void setFileProgress(int percent) override;
    void setOverallProgress(int position) override;
    void setResultCounts(std::uint32_t copied, std::uint32_t skipped, std::uint32_t renamed,
                         std::uint32_t failed) override;
    void setPlaylistCount(std::uint32_t created) override;
    void setCoverAndTagCounts(std::uint32_t covers, std::uint32_t tagged) override;
    void setBeginButton(std::string_view text, bool enabled) override;
    void enableResultButtons() override;
    void showMessage(std::string_view text) override;

    // Called by whoever ran the worker, once it has returned.
    void markFinished();

    // What changed since the last call, or nothing when nothing did. The messages are handed
    // over once.
    [[nodiscard]] std::optional<TransferView> takeChanges();

  private:
    std::mutex mutex_;
    TransferView view_;
    bool changed_ = false;
};

}  // namespace pelmar
