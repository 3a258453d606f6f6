#include "ui/photo_preview.h"

#include <QPainter>
#include <QWidget>

#include "library/player_library.h"
#include "ui/photo_details.h"

namespace pelmar::ui {

namespace {

constexpr QPoint kThumbnailAt{10, 100};
constexpr int kHintLeft = 10;
constexpr int kDetailsLeft = 20;
constexpr int kTextTop = 20;
// Every text is cut at this edge and bottom, above the thumbnail.
constexpr int kTextRight = 500;
constexpr int kTextBottom = 100;
const QColor kHintColour{0, 0, 255};

// A line starting at or below the bottom edge has an empty rectangle and does not show.
void drawClippedLine(QPainter& painter, int left, int top, const QString& text) {
    painter.drawText(QRect(QPoint(left, top), QPoint(kTextRight - 1, kTextBottom - 1)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace

QPixmap drawPhotoPreview(const QWidget& list, QSize size, const PlayerLibrary& library,
                         const NodeData* row, int rowCount) {
    const qreal scale = list.devicePixelRatioF();
    QPixmap preview(size * scale);
    preview.setDevicePixelRatio(scale);
    preview.fill(list.palette().color(QPalette::Base));
    if (row == nullptr || row->kind != NK_PHOTO) {
        return preview;
    }
    const ImageData image = photoOfRow(library, *row);
    const ChosenThumbnail shown = chooseThumbnails(image, library.rootPath).forExport;

    QPainter painter(&preview);
    const QImage thumbnail = thumbnailPicture(library.rootPath, shown);
    if (!thumbnail.isNull()) {
        painter.drawImage(kThumbnailAt, thumbnail);
    }
    painter.setFont(list.font());
    painter.setPen(kHintColour);
    drawClippedLine(painter, kHintLeft, kTextTop,
                    QStringLiteral("Click on image to return to Album view."));
    painter.setPen(Qt::black);
    const int step = photoLineStep(list.font());
    const QStringList lines = photoDetailLines(image, row->order + 1, rowCount, shown.format);
    for (int line = 0; line < lines.size(); ++line) {
        drawClippedLine(painter, kDetailsLeft, kTextTop + (line + 1) * step, lines[line]);
    }
    return preview;
}

}  // namespace pelmar::ui
