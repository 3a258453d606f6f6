#pragma once

#include <QFontMetrics>
#include <QWidget>

namespace pelmar::app {

// Widths given in dialog units (a quarter of the font's average character width), so bars keep
// their proportions with any font.
inline int dialogUnitsX(const QWidget& widget, int units) {
    return widget.fontMetrics().averageCharWidth() * units / 4;
}

}  // namespace pelmar::app
