#include "ui/SvgImage.h"

#include <QCache>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

#include <memory>

namespace vantora::ui {

namespace {

// Enough for every glyph and picture on screen in both schemes.
constexpr int cachedImages = 128;

} // namespace

SvgImage::SvgImage(Image image)
    : m_image(image)
{
}

QSvgRenderer *SvgImage::renderer() const
{
    // Parsed once per name; the application has a handful of images.
    static QHash<Image, std::shared_ptr<QSvgRenderer>> renderers;
    auto found = renderers.find(m_image);
    if (found == renderers.end()) {
        auto renderer = std::make_shared<QSvgRenderer>(imagePath(m_image));
        found = renderers.insert(m_image, renderer->isValid() ? renderer : nullptr);
    }
    return found->get();
}

bool SvgImage::isValid() const
{
    return renderer() != nullptr;
}

QSizeF SvgImage::naturalSize() const
{
    QSvgRenderer *svg = renderer();
    return svg ? svg->viewBoxF().size() : QSizeF();
}

QRectF SvgImage::fittedRect(const QSizeF &natural, const QRectF &frame)
{
    if (natural.isEmpty())
        return {};
    const QSizeF fitted = natural.scaled(frame.size(), Qt::KeepAspectRatio);
    return {frame.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted};
}

QImage SvgImage::render(const QSizeF &size, qreal pixelRatio, std::optional<QColor> tint) const
{
    QSvgRenderer *svg = renderer();
    if (!svg || size.isEmpty())
        return {};
    static QCache<QString, QImage> cache(cachedImages);
    const QString key = QStringLiteral("%1 %2x%3 @%4 %5")
                            .arg(imageName(m_image))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(pixelRatio)
                            .arg(tint ? QString::number(tint->rgba(), 16) : QStringLiteral("own"));
    if (const QImage *cached = cache.object(key))
        return *cached;

    QImage image((size * pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        svg->render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
        if (tint) {
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(image.rect(), *tint);
        }
    }
    image.setDevicePixelRatio(pixelRatio);
    cache.insert(key, new QImage(image));
    return image;
}

void SvgImage::paint(QPainter &painter, const QRectF &frame, std::optional<QColor> tint) const
{
    const QRectF target = fittedRect(naturalSize(), frame);
    const QImage image = render(target.size(), painter.device()->devicePixelRatioF(), tint);
    if (!image.isNull())
        painter.drawImage(target, image);
}

} // namespace vantora::ui
