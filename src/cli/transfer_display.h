#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "backup/transfer_observer.h"

namespace pelmar::cli {

// Shows a backup run on the terminal: one line redrawn in place (overall bar, counter, file
// percentage, what is being copied). When the output is not a terminal it prints one plain line
// per item instead; quiet, it prints nothing but messages.
class TransferDisplay final : public TransferObserver {
  public:
    TransferDisplay(std::FILE* out, bool quiet, int totalItems);
    ~TransferDisplay() override;
    TransferDisplay(const TransferDisplay&) = delete;
    TransferDisplay& operator=(const TransferDisplay&) = delete;

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

    // Takes the progress line off the terminal; later output starts on a clean line.
    void clear();

  private:
    void redraw();

    std::mutex mutex_;
    std::FILE* out_;
    bool quiet_;
    bool terminal_;
    int totalItems_;
    std::string status_;
    std::string counter_;
    int filePercent_ = 0;
    int overall_ = 0;
    bool drawn_ = false;
};

}  // namespace pelmar::cli
