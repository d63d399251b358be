#pragma once

#include <QPainterPath>
#include <QRectF>

#include <initializer_list>
#include <limits>

class QBrush;
class QColor;
class QLinearGradient;
class QPainter;

// The shapes the views draw, and how they stroke and fill them.
namespace vantora::ui::shapes {

// A corner radius that turns any rounded rectangle into a capsule.
inline constexpr qreal capsule = std::numeric_limits<qreal>::infinity();

// The radius actually drawn: at most half the shorter side.
qreal effectiveRadius(const QSizeF &size, qreal cornerRadius);

QPainterPath roundedRect(const QRectF &rect, qreal cornerRadius);

// Strokes the rounded rectangle's outline inside its edge: the stroke's outer edge lies on the
// shape's edge, so nothing is drawn outside it.
void strokeInside(QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal lineWidth, const QBrush &brush);

// A top-to-bottom gradient over `rect` with evenly spaced stops.
QLinearGradient verticalGradient(const QRectF &rect, std::initializer_list<QColor> colours);

} // namespace vantora::ui::shapes
