#pragma once

#include <QColor>

// Colour values as the views name them: greys as sRGB white levels, accents in Display P3.
namespace vantora::ui::colours {

// sRGB grey of white level `level` (0 black, 1 white).
QColor grey(qreal level, qreal alpha = 1);
// sRGB grey of white level `level`/255.
QColor grey255(int level, qreal alpha = 1);
QColor white(qreal alpha = 1);
QColor black(qreal alpha = 1);

// A Display P3 colour (components 0…1) in sRGB, clamped to what sRGB can show.
QColor displayP3(qreal red, qreal green, qreal blue, qreal alpha = 1);

} // namespace vantora::ui::colours
