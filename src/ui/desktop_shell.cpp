#include "ui/desktop_shell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace pelmar::ui {

QString SystemDesktopShell::chooseFolder(QWidget* parent, const QString& title,
                                         const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

void SystemDesktopShell::open(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace pelmar::ui
