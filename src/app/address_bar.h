#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QIcon;

namespace pelmar::app {

// "Location:" with the path of the selected node, and the search box with its "Go" button.
class AddressBar : public QWidget {
    Q_OBJECT

  public:
    explicit AddressBar(QWidget* parent = nullptr);

    void setLocation(const QString& path, const QIcon& icon);
    void clearLocation();
    [[nodiscard]] QString location() const;

    [[nodiscard]] QString searchText() const;
    void setSearchText(const QString& text);
    [[nodiscard]] QPushButton& goButton() const { return *go_; }

  signals:
    void searchRequested();

  private:
    QLineEdit* location_;
    QAction* locationIcon_ = nullptr;
    QLineEdit* search_;
    QPushButton* go_;
};

}  // namespace pelmar::app
