#include "backup/transfer_snapshot.h"

namespace pelmar {

void TransferSnapshot::setStatusText(std::string_view text) {
    const std::lock_guard lock(mutex_);
    view_.statusText.assign(text);
    changed_ = true;
}

void TransferSnapshot::setCounterText(std::string_view text) {
    const std::lock_guard lock(mutex_);
    view_.counterText.assign(text);
    changed_ = true;
}

void TransferSnapshot::setFileProgress(int percent) {
    const std::lock_guard lock(mutex_);
    view_.filePercent = percent;
    changed_ = true;
}

void TransferSnapshot::setOverallProgress(int position) {
    const std::lock_guard lock(mutex_);
    view_.overallPosition = position;
    changed_ = true;
}

void TransferSnapshot::setResultCounts(std::uint32_t copied, std::uint32_t skipped,
                                       std::uint32_t renamed, std::uint32_t failed) {
    const std::lock_guard lock(mutex_);
    view_.copied = copied;
    view_.skipped = skipped;
    view_.renamed = renamed;
    view_.failed = failed;
    changed_ = true;
}

void TransferSnapshot::setPlaylistCount(std::uint32_t created) {
    const std::lock_guard lock(mutex_);
    view_.playlists = created;
    changed_ = true;
}

void TransferSnapshot::setCoverAndTagCounts(std::uint32_t covers, std::uint32_t tagged) {
    const std::lock_guard lock(mutex_);
    view_.covers = covers;
    view_.tagged = tagged;
    changed_ = true;
}

void TransferSnapshot::setBeginButton(std::string_view text, bool enabled) {
    const std::lock_guard lock(mutex_);
    view_.beginText = std::string(text);
    view_.beginEnabled = enabled;
    changed_ = true;
}

void TransferSnapshot::enableResultButtons() {
    const std::lock_guard lock(mutex_);
    view_.resultButtonsEnabled = true;
    changed_ = true;
}

void TransferSnapshot::showMessage(std::string_view text) {
    const std::lock_guard lock(mutex_);
    view_.messages.emplace_back(text);
    changed_ = true;
}

void TransferSnapshot::markFinished() {
    const std::lock_guard lock(mutex_);
    view_.finished = true;
    changed_ = true;
}

std::optional<TransferView> TransferSnapshot::takeChanges() {
    const std::lock_guard lock(mutex_);
    if (!changed_) {
        return std::nullopt;
    }
    changed_ = false;
    TransferView taken = view_;
    view_.messages.clear();
    return taken;
}

}  // namespace pelmar
