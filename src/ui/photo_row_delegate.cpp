#include "ui/photo_row_delegate.h"

#include <QPainter>
#include <QPixmap>

#include "library/player_library.h"
#include "ui/item_list_model.h"
#include "ui/photo_details.h"

namespace pelmar::ui {

namespace {

constexpr int kThumbnailMargin = 5;
constexpr int kTextGap = 10;
constexpr int kTextTop = 5;
// Stands in for a thumbnail that cannot be drawn: the size of the usual list thumbnail.
constexpr QRect kMissingThumbnailBox{0, 0, 130, 88};
const QColor kMissingThumbnailGrey{128, 128, 128};

QPalette::ColorGroup colourGroupOf(const QStyleOptionViewItem& option) {
    if (!option.state.testFlag(QStyle::State_Enabled)) {
        return QPalette::Disabled;
    }
    return option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

}  // namespace

PhotoRowDelegate::PhotoRowDelegate(const PlayerLibrary& library, const ItemListModel& rows,
                                   QObject* parent)
    : QStyledItemDelegate(parent), library_(library), rows_(rows) {}

void PhotoRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const NodeData* row = rows_.rowAt(index.row());
    if (row == nullptr || row->kind != NK_PHOTO || option.rect.isEmpty()) {
        return;
    }
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = colourGroupOf(option);
    const QColor background =
        option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QColor text =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);

    const ImageData image = photoOfRow(library_, *row);
    const ThumbnailChoice choice = chooseThumbnails(image, library_.rootPath);

    // The card is composed off screen and copied in one go, so scrolling does not flicker.
    const qreal scale = painter->device()->devicePixelRatioF();
    QPixmap card(option.rect.size() * scale);
    card.setDevicePixelRatio(scale);
    card.fill(background);
    QPainter cardPainter(&card);
    const QImage thumbnail = thumbnailPicture(library_.rootPath, choice.forList);
    int textLeft = kMissingThumbnailBox.width() + kTextGap;
    if (thumbnail.isNull()) {
        cardPainter.fillRect(kMissingThumbnailBox, kMissingThumbnailGrey);
    } else {
        cardPainter.drawImage(kThumbnailMargin, kThumbnailMargin, thumbnail);
        textLeft = thumbnail.width() + kTextGap;
    }

    cardPainter.setFont(option.font);
    cardPainter.setPen(text);
    const int step = photoLineStep(option.font);
    const QStringList lines =
        photoDetailLines(image, index.row() + 1, rows_.rowCount(), choice.widest);
    for (int line = 0; line < lines.size(); ++line) {
        const QRect box(QPoint(textLeft, kTextTop + line * step),
                        QPoint(option.rect.width() - 1, option.rect.height() - 1));
        cardPainter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[line]);
    }
    cardPainter.end();
    painter->drawPixmap(option.rect.topLeft(), card);
}

}  // namespace pelmar::ui
