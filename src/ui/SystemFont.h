#pragma once

#include <QFont>

namespace vantora::ui {

// The application's font at `pixelSize` logical pixels. `tracking` adds that many pixels
// between letters (negative tightens). Digits line up in columns with the fonts the desktop
// ships (DejaVu and most sans faces draw them at one width).
QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal, qreal tracking = 0);

} // namespace vantora::ui
