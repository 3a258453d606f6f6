#include "ui/node_icons.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>
#include <array>

namespace pelmar::ui {

namespace {

// The strip keys transparency by magenta; cut each picture out once and keep it.
const std::array<QIcon, NodeIcons::kCount>& strip() {
    static const std::array<QIcon, NodeIcons::kCount> icons = [] {
        std::array<QIcon, NodeIcons::kCount> cut;
        const QImage image(QStringLiteral(":/pelmar/node_icons.png"));
        if (image.isNull()) {
            return cut;
        }
        for (int i = 0; i < NodeIcons::kCount; ++i) {
            QPixmap picture = QPixmap::fromImage(
                image.copy(i * NodeIcons::kSize, 0, NodeIcons::kSize, NodeIcons::kSize));
            picture.setMask(picture.createMaskFromColor(QColor(255, 0, 255)));
            cut[static_cast<std::size_t>(i)] = QIcon(picture);
        }
        return cut;
    }();
    return icons;
}

}  // namespace

QIcon NodeIcons::icon(int index) {
    if (index < 0 || index >= kCount) {
        return {};
    }
    return strip()[static_cast<std::size_t>(index)];
}

}  // namespace pelmar::ui
