#include "ui/dialog_messages.h"

#include <QMessageBox>

namespace pelmar::ui {

void DialogMessages::information(std::string_view text) {
    QMessageBox::information(parent_, QStringLiteral("Pelmar Vantrell"),
                             QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace pelmar::ui
