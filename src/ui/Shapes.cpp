#include "ui/Shapes.h"

#include <QBrush>
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace vantora::ui::shapes {

qreal effectiveRadius(const QSizeF &size, qreal cornerRadius)
{
    return std::clamp(cornerRadius, 0.0, std::min(size.width(), size.height()) / 2);
}

QPainterPath roundedRect(const QRectF &rect, qreal cornerRadius)
{
    const qreal radius = effectiveRadius(rect.size(), cornerRadius);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void strokeInside(QPainter &painter, const QRectF &rect, qreal cornerRadius, qreal lineWidth, const QBrush &brush)
{
    const qreal half = lineWidth / 2;
    const QRectF centreLine = rect.adjusted(half, half, -half, -half);
    const qreal radius = std::max(0.0, effectiveRadius(rect.size(), cornerRadius) - half);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(brush, lineWidth));
    painter.drawRoundedRect(centreLine, radius, radius);
    painter.restore();
}

QLinearGradient verticalGradient(const QRectF &rect, std::initializer_list<QColor> colours)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    const auto count = static_cast<qreal>(colours.size());
    int index = 0;
    for (const QColor &colour : colours)
        gradient.setColorAt(count > 1 ? index++ / (count - 1) : 0, colour);
    return gradient;
}

} // namespace vantora::ui::shapes
