#include "cli/terminal_progress.h"

#include <unistd.h>

namespace pelmar::cli {

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream), enabled_(::isatty(::fileno(stream)) != 0) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

void TerminalProgress::clear() {
    if (drawn_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        drawn_ = false;
        shownPercent_ = -1;
    }
}

void TerminalProgress::setStatus(std::string_view text) {
    status_.assign(text);
    shownPercent_ = -1;
    redraw();
}

void TerminalProgress::setRange(std::uint32_t lower, std::uint32_t upper) {
    lower_ = lower;
    upper_ = upper;
    position_ = lower;
}

void TerminalProgress::setPosition(std::uint32_t position) {
    position_ = position;
}

void TerminalProgress::step() {
    ++position_;
}

void TerminalProgress::pump() {
    redraw();
}

void TerminalProgress::redraw() {
    if (!enabled_) {
        return;
    }
    int percent = 0;
    if (upper_ > lower_ && position_ > lower_) {
        percent = static_cast<int>(100.0 * (position_ - lower_) / (upper_ - lower_));
        percent = percent > 100 ? 100 : percent;
    }
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    std::fprintf(stream_, "\r\033[K%s %3d%%", status_.c_str(), percent);
    std::fflush(stream_);
    drawn_ = true;
}

}  // namespace pelmar::cli
