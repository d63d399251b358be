#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace vantora::ui {

// A soft shadow cast by a shape: its colour (with opacity), blur radius and offset, all in
// logical pixels. The blur is a Gaussian whose standard deviation is half the radius.
struct DropShadow final {
    QColor colour;
    qreal radius = 0;
    QPointF offset;

    // How far past the shape's edge the shadow can reach, on any side.
    qreal reach() const;

    // Paints the shadow of a rounded rectangle (see shapes::roundedRect) at the painter's
    // device pixel ratio. Shadow images are kept per size, radius, colour and ratio, so
    // painting the same shadow again costs one image draw.
    void paintUnderRoundedRect(QPainter &painter, const QRectF &rect, qreal cornerRadius) const;

    friend bool operator==(const DropShadow &, const DropShadow &) = default;
};

} // namespace vantora::ui
