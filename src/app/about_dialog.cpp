#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "util/literal_store.h"
#include "util/protected_literals.h"
#include "util/version_text.h"

namespace pelmar::app {

namespace {

// The version line: the stored format applied to the version, with only its first "%s" used.
QString aboutText() {
    QString format = QString::fromUtf8(reveal(kLiteralAboutVersionFormat));
    const QString version = QString::fromStdString(fileVersionText(true));
    const qsizetype at = format.indexOf(QStringLiteral("%s"));
    if (at >= 0) {
        format.replace(at, 2, version);
    }
    return format;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), line_(new QLabel(aboutText(), this)) {
    setWindowTitle(QStringLiteral("About Pelmar Vantrell"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/pelmar/pelmar-vantrell.png")).pixmap(48, 48));
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(line_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString CAboutDlg::aboutLine() const {
    return line_->text();
}

}  // namespace pelmar::app
