#pragma once

#include <QPainterPath>
#include <QRectF>

namespace vantora::recorder {

// The power symbol: a stem and a ring open at the top, laid out on a 12 by 12 grid and
// stretched to fill `rect`. Two open subpaths, for stroking.
QPainterPath shortcutPowerGlyph(const QRectF &rect);

} // namespace vantora::recorder
