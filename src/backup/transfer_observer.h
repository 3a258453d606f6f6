#pragma once

#include <cstdint>
#include <string_view>

namespace pelmar {

// What a backup run shows while it works: the progress page's controls in the GUI, the progress
// display on the command line. The worker calls these from its own thread, in the order the page
// must show them; an implementation that drives widgets forwards them to the UI thread.
class TransferObserver {
  public:
    virtual ~TransferObserver() = default;

    virtual void setStatusText(std::string_view text) = 0;
    virtual void setCounterText(std::string_view text) = 0;
    virtual void setFileProgress(int percent) = 0;
    virtual void setOverallProgress(int position) = 0;
    virtual void setResultCounts(std::uint32_t copied, std::uint32_t skipped, std::uint32_t renamed,
                                 std::uint32_t failed) = 0;
    virtual void setPlaylistCount(std::uint32_t created) = 0;
    // Album covers saved beside the tracks, and copies that received ratings, play counts or
    // missing tags.
    virtual void setCoverAndTagCounts(std::uint32_t covers, std::uint32_t tagged) = 0;
    virtual void setBeginButton(std::string_view text, bool enabled) = 0;
    // Enables "Open Destination Folder..." and "View Log...".
    virtual void enableResultButtons() = 0;
    // A problem the user must hear about during the run (shown once per run).
    virtual void showMessage(std::string_view text) = 0;
};

}  // namespace pelmar
