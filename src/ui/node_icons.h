#pragma once

#include <QColor>
#include <QIcon>

namespace pelmar::ui {

// The 16 x 16 pictures every tree, list and toolbar draws from one strip, by index.
class NodeIcons {
  public:
    static constexpr int kCount = 38;
    static constexpr int kSize = 16;

    // The icon at `index`; an index outside the strip gives an empty icon.
    [[nodiscard]] static QIcon icon(int index);
};

// The background of the tree, the list and the location display.
inline const QColor kViewBackground{255, 255, 254};

}  // namespace pelmar::ui
