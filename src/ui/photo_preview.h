#pragma once

#include <QPixmap>

#include "library/node_model.h"

class QWidget;

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

// The preview that stands in for an album's rows: how to go back, the photo's place in the
// album, its times and dimensions, and below them its largest thumbnail on the player. `row` is
// the first selected row; for none, or a row that is not a photo, only the background shows. The
// font and background are `list`'s. A photo without a readable thumbnail shows its texts alone.
[[nodiscard]] QPixmap drawPhotoPreview(const QWidget& list, QSize size,
                                       const PlayerLibrary& library, const NodeData* row,
                                       int rowCount);

}  // namespace pelmar::ui
