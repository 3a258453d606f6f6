#include "ui/backup_control_page.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "backup/transfer_log.h"
#include "backup/transfer_options.h"
#include "library/player_library.h"
#include "ui/desktop_shell.h"
#include "util/setting_names.h"
#include "util/settings_store.h"
#include "util/user_messages.h"

namespace pelmar::ui {

namespace {

// How often the page takes in what the run reported: a frame, so the screen keeps up without
// the page ever queueing more than one frame's worth of work.
constexpr int kReportIntervalMs = 40;

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A line of the summary: the texts are UTF-8 and may run to two lines.
QLabel* summaryLabel(QWidget* parent, bool bold) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont font = label->font();
        font.setWeight(QFont::DemiBold);
        label->setFont(font);
    }
    return label;
}

QGroupBox* groupWithGrid(const QString& title, QWidget* parent, QGridLayout*& grid) {
    auto* group = new QGroupBox(title, parent);
    grid = new QGridLayout(group);
    return group;
}

}  // namespace

CBackupControlPage::CBackupControlPage(const PlayerLibrary& library, BackupSelection selection,
                                       BackupServices services, QWidget* parent)
    : QWidget(parent),
      library_(library),
      selection_(std::move(selection)),
      services_(std::move(services)),
      reports_(new QTimer(this)),
      tracksLine_(summaryLabel(this, true)),
      statisticsLine_(summaryLabel(this, false)),
      photosLine_(summaryLabel(this, true)),
      destination_(summaryLabel(this, true)),
      freeSpace_(summaryLabel(this, false)),
      status_(new QLabel(QStringLiteral("Click 'Begin Backup' to start..."), this)),
      file_(new QProgressBar(this)),
      overall_(new QProgressBar(this)),
      counter_(new QLabel(QStringLiteral("Processing file 0/0."), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      begin_(new QPushButton(QStringLiteral("Begin Backup"), this)),
      results_{},
      openFolder_(new QPushButton(QStringLiteral("Open Destination Folder..."), this)),
      viewLog_(new QPushButton(QStringLiteral("View Log..."), this)) {
    summary_ = summarizeSelection(library_, selection_);
    selectedKilobytes_ = SelectionStatistics(selection_.tracks, library_).kilobytes;
    tracksLine_->setText(text(summary_.tracksLine));
    statisticsLine_->setText(text(summary_.statisticsLine));
    photosLine_->setText(text(summary_.photosLine));

    auto* layout = new QVBoxLayout(this);
    QGridLayout* summaryGrid = nullptr;
    layout->addWidget(groupWithGrid(QStringLiteral("Summary"), this, summaryGrid));
    summaryGrid->addWidget(new QLabel(QStringLiteral("Selected: "), this), 0, 0,
                           Qt::AlignTop | Qt::AlignLeft);
    summaryGrid->addWidget(tracksLine_, 0, 1);
    summaryGrid->addWidget(statisticsLine_, 1, 1);
    summaryGrid->addWidget(photosLine_, 2, 1);
    summaryGrid->addWidget(new QLabel(QStringLiteral("Backup to: "), this), 3, 0,
                           Qt::AlignTop | Qt::AlignLeft);
    summaryGrid->addWidget(destination_, 3, 1);
    summaryGrid->addWidget(freeSpace_, 4, 1);
    summaryGrid->setColumnStretch(1, 1);

    layout->addWidget(status_);
    file_->setRange(0, 100);
    file_->setValue(0);
    layout->addWidget(file_);
    layout->addWidget(new QLabel(QStringLiteral("Overall Progress:"), this));
    const auto items = static_cast<int>(selection_.tracks.size() + selection_.photos.size());
    overall_->setRange(0, items);
    overall_->setValue(0);
    layout->addWidget(overall_);
    auto* controls = new QHBoxLayout;
    controls->addWidget(counter_, 1);
    controls->addWidget(cancel_);
    controls->addWidget(begin_);
    cancel_->hide();
    layout->addLayout(controls);

    QGridLayout* resultsGrid = nullptr;
    layout->addWidget(groupWithGrid(QStringLiteral("Results"), this, resultsGrid));
    const QString resultTexts[] = {QStringLiteral("items successfully copied."),
                                   QStringLiteral("items skipped because they exist already."),
                                   QStringLiteral("items renamed because they exist already."),
                                   QStringLiteral("items not copied due to error."),
                                   QStringLiteral("playlists created."),
                                   QStringLiteral("album covers saved."),
                                   QStringLiteral("copies tagged with ratings and play counts.")};
    for (int i = 0; i < kResultRows; ++i) {
        results_[i] = new QLabel(QStringLiteral("0"), this);
        results_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        results_[i]->setMinimumWidth(results_[i]->fontMetrics().horizontalAdvance("0000000"));
        resultsGrid->addWidget(results_[i], i, 0);
        resultsGrid->addWidget(new QLabel(resultTexts[i], this), i, 1);
    }
    resultsGrid->setColumnStretch(1, 1);
    auto* resultButtons = new QHBoxLayout;
    resultButtons->addWidget(openFolder_);
    resultButtons->addWidget(viewLog_);
    resultButtons->addStretch(1);
    openFolder_->setEnabled(false);
    viewLog_->setEnabled(false);
    layout->addLayout(resultButtons);
    layout->addStretch(1);

    connect(begin_, &QPushButton::clicked, this, &CBackupControlPage::beginPressed);
    connect(cancel_, &QPushButton::clicked, this, &CBackupControlPage::cancelPressed);
    connect(openFolder_, &QPushButton::clicked, this, [this] {
        services_.shell.open(
            QString::fromStdString(services_.settings.string(kSettingDestinationFolder, "")));
    });
    connect(viewLog_, &QPushButton::clicked, this,
            [this] { services_.shell.open(QString::fromStdString(logPath_)); });
    connect(reports_, &QTimer::timeout, this, &CBackupControlPage::showReports);
}

CBackupControlPage::~CBackupControlPage() {
    if (worker_.joinable()) {
        // The sheet refuses to close during a run; should the page go anyway, the run stops
        // before the page's members do, leaving no half-written file.
        abortCopy_.store(true);
        control_.change(TransferState::Canceled);
        worker_.join();
    }
}

void CBackupControlPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    showDestination();
}

void CBackupControlPage::showDestination() {
    const DestinationDisplay display = describeDestination(services_.settings, services_.freeBytes);
    destination_->setText(text(display.folderLabel));
    freeSpace_->setText(text(display.freeSpaceLabel));
}

void CBackupControlPage::applyEffect(const ButtonEffect& effect) {
    if (!effect.beginText.empty()) {
        begin_->setText(text(effect.beginText));
    }
    begin_->setEnabled(effect.beginEnabled);
    if (effect.cancel == CancelButton::Show) {
        cancel_->show();
    } else if (effect.cancel == CancelButton::Hide) {
        cancel_->hide();
    }
}

void CBackupControlPage::beginPressed() {
    const TransferState seen = control_.state.load();
    ButtonEffect effect = beginBackupPressed(seen);
    if (effect.checkAndStart) {
        if (const std::optional<std::string> refusal =
                checkBeforeBackup(services_.settings, selectedKilobytes_, services_.freeBytes)) {
            services_.messages.information(*refusal);
            return;
        }
        logPath_ = LogPath(services_.settings);
        LogReservation reservation = reserveLog(logPath_);
        if (reservation.heldByOtherRun) {
            services_.messages.information(otherRunMessage(logPath_));
            return;
        }
        logLock_ = std::move(reservation.lock);
        effect = runStarted();
    }
    if (!applyButtonEffect(control_, seen, effect)) {
        // The run ended between the look at the state and the press: press on what it is now.
        beginPressed();
        return;
    }
    applyEffect(effect);
    if (effect.state == TransferState::Running && seen == TransferState::Idle) {
        startRun();
    }
}

void CBackupControlPage::cancelPressed() {
    const TransferState seen = control_.state.load();
    const ButtonEffect effect = pelmar::cancelPressed();
    if (applyButtonEffect(control_, seen, effect)) {
        applyEffect(effect);
    }
}

void CBackupControlPage::startRun() {
    job_ = std::make_unique<TransferJob>(TransferJob{
        library_,
        selection_.tracks,
        selection_.playlists,
        selection_.photos,
        {summary_.tracksLine, summary_.statisticsLine, summary_.photosLine},
        readTransferOptions(services_.settings),
        logPath_,
        control_,
        snapshot_,
        services_.itunes,
        &abortCopy_,
    });
    worker_ = std::thread([this] {
        TransferWorker(*job_);
        snapshot_.markFinished();
    });
    reports_->start(kReportIntervalMs);
}

void CBackupControlPage::showReports() {
    // A message box below runs its own event loop, in which this timer fires again.
    if (showingMessage_) {
        return;
    }
    const std::optional<TransferView> view = snapshot_.takeChanges();
    if (!view) {
        return;
    }
    status_->setText(text(view->statusText));
    counter_->setText(text(view->counterText));
    file_->setValue(view->filePercent);
    overall_->setValue(view->overallPosition);
    const std::uint32_t counts[] = {view->copied,    view->skipped, view->renamed, view->failed,
                                    view->playlists, view->covers,  view->tagged};
    for (int i = 0; i < kResultRows; ++i) {
        results_[i]->setText(QString::number(counts[i]));
    }
    if (view->beginText) {
        begin_->setText(text(*view->beginText));
        begin_->setEnabled(view->beginEnabled);
    }
    openFolder_->setEnabled(view->resultButtonsEnabled);
    viewLog_->setEnabled(view->resultButtonsEnabled);
    for (const std::string& message : view->messages) {
        showingMessage_ = true;
        services_.messages.information(message);
        showingMessage_ = false;
    }
    if (view->finished) {
        reports_->stop();
        worker_.join();
        logLock_.reset();
        if (control_.state.load() == TransferState::Canceled) {
            cancel_->hide();
        }
        runEnded_ = true;
        emit runFinished();
    }
}

QString CBackupControlPage::closeRefusal() const {
    const std::optional<std::string_view> refusal = pelmar::closeRefusal(control_.state.load());
    return refusal ? text(*refusal) : QString();
}

QString CBackupControlPage::statusText() const {
    return status_->text();
}

QString CBackupControlPage::counterText() const {
    return counter_->text();
}

QString CBackupControlPage::destinationText() const {
    return destination_->text();
}

QString CBackupControlPage::freeSpaceText() const {
    return freeSpace_->text();
}

QStringList CBackupControlPage::resultTexts() const {
    QStringList texts;
    for (const QLabel* label : results_) {
        texts.push_back(label->text());
    }
    return texts;
}

}  // namespace pelmar::ui
