#include "ui/backup_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/backup_options_page.h"
#include "util/user_messages.h"

namespace pelmar::ui {

namespace {

// The sheets have one button, "Close", which keeps every change: the options are stored as they
// are made.
void addCloseButton(QDialog& sheet, QVBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(&sheet);
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
    layout.addWidget(buttons);
}

}  // namespace

CBackupSheet::CBackupSheet(const PlayerLibrary& library, BackupSelection selection,
                           const BackupServices& services, QWidget* parent)
    : QDialog(parent), messages_(services.messages), pages_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Backup"));
    std::vector<KernelId> previewItems = selection.tracks;
    control_ = new CBackupControlPage(library, std::move(selection), services, pages_);
    options_ = new CBackupOptionsPage(library, std::move(previewItems), services.settings,
                                      services.shell, pages_);
    pages_->addTab(control_, QStringLiteral("Backup"));
    pages_->addTab(options_, QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    addCloseButton(*this, *layout);
}

void CBackupSheet::reject() {
    // Whichever page is in front: closing would end the page that the run reports to.
    const QString refusal = control_->closeRefusal();
    if (!refusal.isEmpty()) {
        messages_.information(refusal.toStdString());
        return;
    }
    QDialog::reject();
}

CCustomSheet::CCustomSheet(const PlayerLibrary& library, std::vector<KernelId> items,
                           SettingsStore& settings, DesktopShell& shell, QWidget* parent)
    : QDialog(parent),
      options_(new CBackupOptionsPage(library, std::move(items), settings, shell, this)) {
    setWindowTitle(QStringLiteral("Backup Options"));
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->addTab(options_, QStringLiteral("Options"));
    layout->addWidget(pages);
    addCloseButton(*this, *layout);
}

}  // namespace pelmar::ui
