#pragma once

#include <QRectF>

#include <functional>

class QPainter;

namespace vantora::ui {

// Paints several overlapping layers as one group at `opacity`: where layers overlap, the
// group fades as a whole instead of showing the lower layers through the upper ones. At
// full opacity the layers are painted straight onto the painter. `bounds` must cover
// everything `layers` paints, in the painter's coordinates.
void paintGroup(QPainter &painter, const QRectF &bounds, qreal opacity, const std::function<void(QPainter &)> &layers);

} // namespace vantora::ui
