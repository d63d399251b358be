#include "recorder/ShortcutPowerGlyph.h"

#include <QTransform>

namespace vantora::recorder {

QPainterPath shortcutPowerGlyph(const QRectF &rect)
{
    QPainterPath grid;
    grid.moveTo(6, 1);
    grid.lineTo(6, 5.1667);
    grid.moveTo(9.3333, 2.2732);
    grid.cubicTo(10.3562, 3.1887, 11, 4.5192, 11, 6);
    grid.cubicTo(11, 8.7614, 8.7614, 11, 6, 11);
    grid.cubicTo(3.2386, 11, 1, 8.7614, 1, 6);
    grid.cubicTo(1, 4.5192, 1.6438, 3.1887, 2.6667, 2.2732);

    QTransform fit;
    fit.translate(rect.x(), rect.y());
    fit.scale(rect.width() / 12.0, rect.height() / 12.0);
    return fit.map(grid);
}

} // namespace vantora::recorder
