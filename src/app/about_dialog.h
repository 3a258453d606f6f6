#pragma once

#include <QDialog>

class QLabel;

namespace pelmar::app {

// "About Pelmar Vantrell": the program's icon and its version line.
class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    [[nodiscard]] QString aboutLine() const;

  private:
    QLabel* line_;
};

}  // namespace pelmar::app
