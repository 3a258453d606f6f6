#pragma once

#include <QPixmap>

namespace pelmar::ui {

// What an album row shows in place of its cover, each as large as a row's cover so that the
// texts of all rows line up: a blank square while the cover is being decoded, and the row's
// own icon, centred, for a row without a cover.
[[nodiscard]] const QPixmap& coverPlaceholder();
[[nodiscard]] QPixmap iconAsCover(int iconIndex);

}  // namespace pelmar::ui
