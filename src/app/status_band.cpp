#include "app/status_band.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <limits>

#include "app/dialog_units.h"

namespace pelmar::app {

namespace {

constexpr qint64 kFrameMs = 40;

int clampedToInt(std::uint32_t value) {
    return static_cast<int>(std::min<std::uint32_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

StatusBand::StatusBand(QWidget* parent)
    : QWidget(parent),
      text_(new QLabel(QStringLiteral("Location"), this)),
      progress_(new QProgressBar(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(dialogUnitsX(*this, 4), 2, 2, 2);
    layout->setSpacing(0);
    text_->setFixedWidth(dialogUnitsX(*this, 74));
    text_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    progress_->setFixedWidth(dialogUnitsX(*this, 292));
    progress_->setTextVisible(false);
    layout->addWidget(text_);
    layout->addWidget(progress_);
    layout->addStretch(1);
}

void StatusBand::setStatus(std::string_view text) {
    text_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void StatusBand::setRange(std::uint32_t lower, std::uint32_t upper) {
    progress_->setRange(clampedToInt(lower), clampedToInt(upper));
    position_ = progress_->minimum();
    showPosition();
}

void StatusBand::setPosition(std::uint32_t position) {
    position_ = std::clamp(clampedToInt(position), progress_->minimum(), progress_->maximum());
}

void StatusBand::step() {
    position_ = std::min(position_ + 1, progress_->maximum());
}

void StatusBand::showPosition() {
    progress_->setValue(position_);
    sincePaint_.start();
}

void StatusBand::pump() {
    if (sincePaint_.isValid() && sincePaint_.elapsed() < kFrameMs) {
        return;
    }
    showPosition();
    // The user's clicks wait until the load is done: a second connect must not start inside the
    // first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString StatusBand::statusText() const {
    return text_->text();
}

}  // namespace pelmar::app
