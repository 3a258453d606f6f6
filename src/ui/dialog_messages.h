#pragma once

#include "util/user_messages.h"

class QWidget;

namespace pelmar::ui {

// Tells the user in a modal message box with an information icon and an OK button.
class DialogMessages final : public UserMessages {
  public:
    explicit DialogMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void information(std::string_view text) override;

  private:
    QWidget* parent_;
};

}  // namespace pelmar::ui
