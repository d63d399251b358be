#include "ui/DropShadow.h"

#include "ui/GaussianBlur.h"
#include "ui/Shapes.h"

#include <QCache>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace vantora::ui {

namespace {

// Enough for the shadows of every card and button on screen at once.
constexpr int cachedShadows = 64;

QImage makeShadow(const QSizeF &size, qreal cornerRadius, const DropShadow &shadow, qreal ratio)
{
    const qreal margin = shadow.reach();
    const QSize pixels = ((size + QSizeF(2 * margin, 2 * margin)) * ratio).toSize();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        painter.fillPath(shapes::roundedRect(QRectF(QPointF(margin, margin), size), cornerRadius), Qt::black);
    }
    gaussianBlurAlpha(image, shadow.radius / 2 * ratio);
    {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), shadow.colour);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

qreal DropShadow::reach() const
{
    return std::ceil(1.5 * radius + std::max(std::abs(offset.x()), std::abs(offset.y()))) + 1;
}

void DropShadow::paintUnderRoundedRect(QPainter &painter, const QRectF &rect, qreal cornerRadius) const
{
    if (colour.alpha() == 0 || rect.isEmpty())
        return;
    static QCache<QString, QImage> cache(cachedShadows);
    const qreal ratio = painter.device()->devicePixelRatioF();
    const qreal radiusDrawn = shapes::effectiveRadius(rect.size(), cornerRadius);
    const QString key = QStringLiteral("%1x%2 r%3 b%4 %5 @%6")
                            .arg(rect.width())
                            .arg(rect.height())
                            .arg(radiusDrawn)
                            .arg(radius)
                            .arg(colour.rgba(), 0, 16)
                            .arg(ratio);
    QImage *image = cache.object(key);
    if (!image) {
        image = new QImage(makeShadow(rect.size(), radiusDrawn, *this, ratio));
        cache.insert(key, image);
    }
    const qreal margin = reach();
    painter.drawImage(rect.topLeft() + offset - QPointF(margin, margin), *image);
}

} // namespace vantora::ui
