#pragma once

#include <QStyledItemDelegate>

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

class ItemListModel;

// Draws each photo of an album as a card: the thumbnail meant for lists on the left, and beside it
// the photo's place in the album, its times and the size of its largest thumbnail. Other rows
// are left blank.
class PhotoRowDelegate : public QStyledItemDelegate {
  public:
    PhotoRowDelegate(const PlayerLibrary& library, const ItemListModel& rows,
                     QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const PlayerLibrary& library_;
    const ItemListModel& rows_;
};

}  // namespace pelmar::ui
