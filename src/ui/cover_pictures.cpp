#include "ui/cover_pictures.h"

#include <QHash>
#include <QPainter>

#include "ui/cover_cache.h"
#include "ui/node_icons.h"

namespace pelmar::ui {

namespace {

const QColor kPlaceholderGrey{225, 225, 225};

QPixmap emptyCover() {
    QPixmap picture(CoverCache::kRowSide, CoverCache::kRowSide);
    picture.fill(Qt::transparent);
    return picture;
}

}  // namespace

const QPixmap& coverPlaceholder() {
    static const QPixmap placeholder = [] {
        QPixmap picture = emptyCover();
        picture.fill(kPlaceholderGrey);
        return picture;
    }();
    return placeholder;
}

QPixmap iconAsCover(int iconIndex) {
    // Made once per icon: the list asks for them on every paint.
    static QHash<int, QPixmap> made;
    if (const auto found = made.constFind(iconIndex); found != made.constEnd()) {
        return *found;
    }
    QPixmap picture = emptyCover();
    QPainter painter(&picture);
    const int at = (CoverCache::kRowSide - NodeIcons::kSize) / 2;
    NodeIcons::icon(iconIndex).paint(&painter, at, at, NodeIcons::kSize, NodeIcons::kSize);
    painter.end();
    made.insert(iconIndex, picture);
    return picture;
}

}  // namespace pelmar::ui
