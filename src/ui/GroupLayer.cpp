#include "ui/GroupLayer.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace vantora::ui {

void paintGroup(QPainter &painter, const QRectF &bounds, qreal opacity, const std::function<void(QPainter &)> &layers)
{
    if (opacity <= 0 || bounds.isEmpty())
        return;
    if (opacity >= 1) {
        layers(painter);
        return;
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QRect area = bounds.toAlignedRect();
    QImage layer(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter groupPainter(&layer);
        groupPainter.setRenderHints(painter.renderHints());
        groupPainter.setFont(painter.font());
        groupPainter.translate(-area.topLeft());
        layers(groupPainter);
    }
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.drawImage(area.topLeft(), layer);
    painter.restore();
}

} // namespace vantora::ui
