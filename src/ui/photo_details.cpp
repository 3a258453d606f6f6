#include "ui/photo_details.h"

#include <QFont>
#include <QFontMetrics>

#include "library/player_library.h"
#include "library/track_data.h"
#include "photos/thumbnail_decoder.h"
#include "util/time_format.h"

namespace pelmar::ui {

namespace {

// A photo without a time (0) lies before 1970 and shows an empty text.
QString photoDateText(std::uint32_t playerTime) {
    return QString::fromStdString(
        formatTimeUtc(signedPlayerTime(playerTime - kPlayerEpochOffset), "%m/%d/%Y %I:%M %p"));
}

}  // namespace

ImageData photoOfRow(const PlayerLibrary& library, const NodeData& row) {
    const auto found = library.images.find(row.itemId.id);
    return found != library.images.end() ? found->second : ImageData{};
}

int photoLineStep(const QFont& font) {
    return QFontMetrics(font)
               .boundingRect(QRect(), Qt::AlignLeft, QStringLiteral("blah"))
               .height() +
           2;
}

QStringList photoDetailLines(const ImageData& image, int position, int count,
                             const ThumbnailFormat* dimensions) {
    QStringList lines{
        QStringLiteral("Photo %1 of %2").arg(position).arg(count),
        QStringLiteral("Created: ") + photoDateText(image.createdTime),
        QStringLiteral("Modified: ") + photoDateText(image.modifiedTime),
    };
    if (dimensions != nullptr) {
        lines.push_back(
            QStringLiteral("Dimensions: %1 x %2").arg(dimensions->width).arg(dimensions->height));
    }
    return lines;
}

QImage thumbnailPicture(const std::string& rootPath, const ChosenThumbnail& chosen) {
    if (chosen.format == nullptr) {
        return {};
    }
    const std::optional<RgbImage> decoded = readThumbnail(rootPath, *chosen.format, chosen.offset);
    if (!decoded || decoded->pixels.empty()) {
        return {};
    }
    // The wrapper borrows the decoded bytes; the copy owns its pixels.
    return QImage(decoded->pixels.data(), static_cast<int>(decoded->width),
                  static_cast<int>(decoded->height), static_cast<qsizetype>(decoded->width) * 3,
                  QImage::Format_RGB888)
        .copy();
}

}  // namespace pelmar::ui
