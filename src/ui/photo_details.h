#pragma once

#include <QImage>
#include <QStringList>
#include <string>

#include "library/node_model.h"
#include "photos/thumbnail_choice.h"

class QFont;

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

// What the album's photo cards and the single-photo preview both draw.

// The photo a list row stands for; an empty record (no thumbnails, no times) for an id the
// photo database does not list.
[[nodiscard]] ImageData photoOfRow(const PlayerLibrary& library, const NodeData& row);

// Distance between the detail lines: the height of a short sample text in `font`, plus 2.
[[nodiscard]] int photoLineStep(const QFont& font);

// "Photo <position> of <count>", the created and modified times, and "Dimensions: W x H" when
// `dimensions` is given.
[[nodiscard]] QStringList photoDetailLines(const ImageData& image, int position, int count,
                                           const ThumbnailFormat* dimensions);

// The thumbnail as the player's screen shows it; a null image when there is none or its file
// cannot be read.
[[nodiscard]] QImage thumbnailPicture(const std::string& rootPath, const ChosenThumbnail& chosen);

}  // namespace pelmar::ui
