#include "ui/cover_panel.h"

#include <QPainter>

#include "ui/cover_cache.h"
#include "ui/node_icons.h"

namespace pelmar::ui {

namespace {

const QColor kNoArtworkGrey{200, 200, 200};
const QColor kNoArtworkText{96, 96, 96};

}  // namespace

CoverPanel::CoverPanel(CoverCache& covers, QWidget* parent) : QWidget(parent), covers_(covers) {
    setFixedWidth(CoverCache::kPanelSide + 2 * kMargin);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kViewBackground);
    setPalette(colours);
    connect(&covers_, &CoverCache::coverReady, this, [this] {
        if (imageId_) {
            update();
        }
    });
}

void CoverPanel::showCover(std::optional<std::uint32_t> imageId) {
    if (imageId != imageId_) {
        imageId_ = imageId;
        update();
    }
}

QPixmap CoverPanel::shownPicture() const {
    return imageId_ ? covers_.cover(*imageId_, CoverSize::Panel) : QPixmap();
}

void CoverPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect square(kMargin, kMargin, CoverCache::kPanelSide, CoverCache::kPanelSide);
    if (imageId_) {
        const QPixmap cover = shownPicture();
        if (!cover.isNull()) {
            painter.drawPixmap(square.topLeft(), cover);
            return;
        }
        if (covers_.isPending(*imageId_, CoverSize::Panel)) {
            return;
        }
    }
    painter.fillRect(square, kNoArtworkGrey);
    painter.setPen(kNoArtworkText);
    painter.drawText(square, Qt::AlignCenter, QStringLiteral("No artwork"));
}

}  // namespace pelmar::ui
