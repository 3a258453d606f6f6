#pragma once

#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "backup/backup_checks.h"
#include "backup/backup_selection.h"
#include "backup/begin_button.h"
#include "backup/selection_summary.h"
#include "backup/transfer_snapshot.h"
#include "backup/transfer_state.h"
#include "backup/transfer_worker.h"
#include "library/player_library.h"
#include "util/unique_fd.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace pelmar {
class ITunesServer;
class SettingsStore;
class UserMessages;
}  // namespace pelmar

namespace pelmar::ui {

class DesktopShell;

// What the backup page needs from the system beyond the library and the selection.
struct BackupServices {
    SettingsStore& settings;
    UserMessages& messages;
    DesktopShell& shell;
    ITunesServer& itunes;
    FreeBytesQuery freeBytes;
};

// "Backup": the summary of the selection, where it goes and the room there, and the run itself
// with its progress and results. The run goes on a thread of its own; what it reports reaches
// the widgets a frame at a time.
class CBackupControlPage : public QWidget {
    Q_OBJECT

  public:
    CBackupControlPage(const PlayerLibrary& library, BackupSelection selection,
                       BackupServices services, QWidget* parent = nullptr);
    ~CBackupControlPage() override;

    // Shows the backup folder and its free space afresh; called whenever the page is shown.
    void showDestination();
    void beginPressed();
    void cancelPressed();
    // The message that keeps the sheet open while a run is under way; empty when it may close.
    [[nodiscard]] QString closeRefusal() const;

    [[nodiscard]] TransferState state() const { return control_.state.load(); }
    [[nodiscard]] const SelectionSummary& summary() const { return summary_; }
    [[nodiscard]] QPushButton& beginButton() const { return *begin_; }
    [[nodiscard]] QPushButton& cancelButton() const { return *cancel_; }
    [[nodiscard]] QPushButton& openFolderButton() const { return *openFolder_; }
    [[nodiscard]] QPushButton& viewLogButton() const { return *viewLog_; }
    [[nodiscard]] const QProgressBar& overallBar() const { return *overall_; }
    [[nodiscard]] QString statusText() const;
    [[nodiscard]] QString counterText() const;
    [[nodiscard]] QString destinationText() const;
    [[nodiscard]] QString freeSpaceText() const;
    // The five result numbers as shown: copied, skipped, renamed, failed, playlists.
    [[nodiscard]] QStringList resultTexts() const;
    [[nodiscard]] const std::string& logPath() const { return logPath_; }
    // Whether a run has ended and every report of it is shown (runFinished has been sent).
    [[nodiscard]] bool runEnded() const { return runEnded_; }

  signals:
    // The run has ended (completed or canceled) and every report of it is shown.
    void runFinished();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void applyEffect(const ButtonEffect& effect);
    void startRun();
    void showReports();

    const PlayerLibrary& library_;
    BackupSelection selection_;
    BackupServices services_;
    SelectionSummary summary_;
    std::uint32_t selectedKilobytes_ = 0;
    std::string logPath_;
    // Keeps other runs, of either program, from starting while this one lasts.
    UniqueFd logLock_;
    bool runEnded_ = false;

    TransferControl control_;
    TransferSnapshot snapshot_;
    std::atomic<bool> abortCopy_{false};
    std::unique_ptr<TransferJob> job_;
    std::thread worker_;
    QTimer* reports_;
    bool showingMessage_ = false;

    QLabel* tracksLine_;
    QLabel* statisticsLine_;
    QLabel* photosLine_;
    QLabel* destination_;
    QLabel* freeSpace_;
    QLabel* status_;
    QProgressBar* file_;
    QProgressBar* overall_;
    QLabel* counter_;
    QPushButton* cancel_;
    QPushButton* begin_;
    static constexpr int kResultRows = 7;
    QLabel* results_[kResultRows];
    QPushButton* openFolder_;
    QPushButton* viewLog_;
};

}  // namespace pelmar::ui
