#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "util/progress_reporter.h"

class QLabel;
class QProgressBar;

namespace pelmar::app {

// The status text and progress bar shown in place of the connect toolbar while a player loads.
class StatusBand : public QWidget, public ProgressReporter {
    Q_OBJECT

  public:
    explicit StatusBand(QWidget* parent = nullptr);

    void setStatus(std::string_view text) override;
    void setRange(std::uint32_t lower, std::uint32_t upper) override;
    void setPosition(std::uint32_t position) override;
    void step() override;
    void pump() override;

    [[nodiscard]] QString statusText() const;
    [[nodiscard]] const QProgressBar& progressBar() const { return *progress_; }

  private:
    void showPosition();

    QLabel* text_;
    QProgressBar* progress_;
    // The loaders report far more often than a screen can show: positions wait here and are
    // painted at most once a frame.
    int position_ = 0;
    QElapsedTimer sincePaint_;
};

}  // namespace pelmar::app
