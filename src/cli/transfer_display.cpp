#include "cli/transfer_display.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/text_table.h"

namespace pelmar::cli {

namespace {

constexpr int kBarWidth = 20;

int terminalWidth(std::FILE* out) {
    struct winsize size {};
    if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 20) {
        return size.ws_col;
    }
    return 80;
}

}  // namespace

TransferDisplay::TransferDisplay(std::FILE* out, bool quiet, int totalItems)
    : out_(out), quiet_(quiet), terminal_(::isatty(::fileno(out)) != 0), totalItems_(totalItems) {}

TransferDisplay::~TransferDisplay() {
    clear();
}

void TransferDisplay::clear() {
    const std::lock_guard lock(mutex_);
    if (drawn_) {
        std::fputs("\r\033[K", out_);
        std::fflush(out_);
        drawn_ = false;
    }
}

void TransferDisplay::redraw() {
    if (quiet_ || !terminal_) {
        return;
    }
    const int filled = totalItems_ > 0 ? overall_ * kBarWidth / totalItems_ : kBarWidth;
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] " +
                       counter_ + " " + std::to_string(filePercent_) + "%  " + status_;
    line = fitToWidth(line, static_cast<std::size_t>(terminalWidth(out_) - 1));
    std::fprintf(out_, "\r\033[K%s", line.c_str());
    std::fflush(out_);
    drawn_ = true;
}

void TransferDisplay::setStatusText(std::string_view text) {
    const std::lock_guard lock(mutex_);
    status_.assign(text);
    redraw();
}

void TransferDisplay::setCounterText(std::string_view text) {
    const std::lock_guard lock(mutex_);
    counter_.assign(text);
    // One plain line per item; the closing count is left to the results that follow.
    if (!quiet_ && !terminal_ && counter_.rfind("Processing ", 0) == 0) {
        std::fprintf(out_, "%s %s\n", counter_.c_str(), status_.c_str());
        std::fflush(out_);
    }
    redraw();
}

void TransferDisplay::setFileProgress(int percent) {
    const std::lock_guard lock(mutex_);
    filePercent_ = percent;
    redraw();
}

void TransferDisplay::setOverallProgress(int position) {
    const std::lock_guard lock(mutex_);
    overall_ = std::min(position, totalItems_);
    redraw();
}

void TransferDisplay::setResultCounts(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}

void TransferDisplay::setPlaylistCount(std::uint32_t) {}

void TransferDisplay::setCoverAndTagCounts(std::uint32_t, std::uint32_t) {}

void TransferDisplay::setBeginButton(std::string_view, bool) {}

void TransferDisplay::enableResultButtons() {}

void TransferDisplay::showMessage(std::string_view text) {
    const std::lock_guard lock(mutex_);
    if (drawn_) {
        std::fputs("\r\033[K", out_);
        drawn_ = false;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    redraw();
}

}  // namespace pelmar::cli
