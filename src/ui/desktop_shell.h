#pragma once

#include <QString>

class QWidget;

namespace pelmar::ui {

// What the pages ask of the desktop: a folder picked by the user, and a file or folder opened
// in the application that shows it. Tests answer in place of the desktop.
class DesktopShell {
  public:
    virtual ~DesktopShell() = default;
    // The chosen folder's path, or an empty text when the user cancelled.
    [[nodiscard]] virtual QString chooseFolder(QWidget* parent, const QString& title,
                                               const QString& start) = 0;
    virtual void open(const QString& path) = 0;
};

class SystemDesktopShell final : public DesktopShell {
  public:
    [[nodiscard]] QString chooseFolder(QWidget* parent, const QString& title,
                                       const QString& start) override;
    void open(const QString& path) override;
};

}  // namespace pelmar::ui
