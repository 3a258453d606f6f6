#include "app/address_bar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_units.h"
#include "ui/node_icons.h"

namespace pelmar::app {

AddressBar::AddressBar(QWidget* parent)
    : QWidget(parent),
      location_(new QLineEdit(this)),
      search_(new QLineEdit(this)),
      go_(new QPushButton(QStringLiteral("Go"), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(dialogUnitsX(*this, 4), 2, 2, 2);
    layout->setSpacing(dialogUnitsX(*this, 4));

    auto* locationLabel = new QLabel(QStringLiteral("Location:"), this);
    locationLabel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    layout->addWidget(locationLabel);

    location_->setReadOnly(true);
    location_->setFocusPolicy(Qt::NoFocus);
    location_->setMinimumWidth(dialogUnitsX(*this, 160));
    QPalette colours = location_->palette();
    colours.setColor(QPalette::Base, ui::kViewBackground);
    location_->setPalette(colours);
    layout->addWidget(location_, 288);

    auto* searchLabel = new QLabel(QStringLiteral("Search:"), this);
    searchLabel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    layout->addWidget(searchLabel);

    search_->setMinimumWidth(dialogUnitsX(*this, 78));
    layout->addWidget(search_, 78);

    go_->setDefault(true);
    go_->setFixedWidth(std::max(dialogUnitsX(*this, 24), go_->sizeHint().width() / 2));
    layout->addWidget(go_);

    // Enter in the search box presses "Go", as the default button of the bar.
    connect(search_, &QLineEdit::returnPressed, this, &AddressBar::searchRequested);
    connect(go_, &QPushButton::clicked, this, &AddressBar::searchRequested);
}

void AddressBar::setLocation(const QString& path, const QIcon& icon) {
    clearLocation();
    location_->setText(path);
    locationIcon_ = location_->addAction(icon, QLineEdit::LeadingPosition);
    location_->setCursorPosition(0);
}

void AddressBar::clearLocation() {
    location_->clear();
    if (locationIcon_ != nullptr) {
        location_->removeAction(locationIcon_);
        delete locationIcon_;
        locationIcon_ = nullptr;
    }
}

QString AddressBar::location() const {
    return location_->text();
}

QString AddressBar::searchText() const {
    return search_->text();
}

void AddressBar::setSearchText(const QString& text) {
    search_->setText(text);
}

}  // namespace pelmar::app
