#pragma once

#include <cstdio>
#include <string>

#include "util/progress_reporter.h"

namespace pelmar::cli {

// Shows the loaders' status and percentage on one line of a terminal. Draws nothing when the
// stream is not a terminal, so redirected output stays clean.
class TerminalProgress final : public ProgressReporter {
  public:
    explicit TerminalProgress(std::FILE* stream);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void setStatus(std::string_view text) override;
    void setRange(std::uint32_t lower, std::uint32_t upper) override;
    void setPosition(std::uint32_t position) override;
    void step() override;
    void pump() override;

    // Takes the progress line off the terminal so that a message can be printed cleanly.
    void clear();

  private:
    void redraw();

    std::FILE* stream_;
    bool enabled_;
    bool drawn_ = false;
    std::string status_;
    std::uint32_t lower_ = 0;
    std::uint32_t upper_ = 0;
    std::uint32_t position_ = 0;
    int shownPercent_ = -1;
};

}  // namespace pelmar::cli
