#pragma once

#include <QDialog>

#include "backup/backup_selection.h"
#include "ui/backup_control_page.h"

class QTabWidget;

namespace pelmar::ui {

class CBackupOptionsPage;

// "Backup": the progress page, then the options page, and "Close", which waits while a run is
// under way.
class CBackupSheet : public QDialog {
    Q_OBJECT

  public:
    CBackupSheet(const PlayerLibrary& library, BackupSelection selection,
                 const BackupServices& services, QWidget* parent = nullptr);

    [[nodiscard]] CBackupControlPage& controlPage() const { return *control_; }
    [[nodiscard]] CBackupOptionsPage& optionsPage() const { return *options_; }
    [[nodiscard]] QTabWidget& pages() const { return *pages_; }

    void reject() override;

  private:
    UserMessages& messages_;
    QTabWidget* pages_;
    CBackupControlPage* control_;
    CBackupOptionsPage* options_;
};

// "Backup Options": the options page alone, with "Close".
class CCustomSheet : public QDialog {
    Q_OBJECT

  public:
    CCustomSheet(const PlayerLibrary& library, std::vector<KernelId> items, SettingsStore& settings,
                 DesktopShell& shell, QWidget* parent = nullptr);

    [[nodiscard]] CBackupOptionsPage& optionsPage() const { return *options_; }

  private:
    CBackupOptionsPage* options_;
};

}  // namespace pelmar::ui
