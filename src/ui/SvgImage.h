#pragma once

#include "ui/Image.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;
class QSvgRenderer;

namespace vantora::ui {

// One of the application's images, drawn at the painter's pixel ratio, so it stays sharp at
// any scale. A template image counts only by its shape and is drawn in one colour; otherwise
// the image keeps its own colours. Rendered images are kept per size, ratio and tint. An
// image whose file cannot be read draws nothing.
class SvgImage final {
public:
    explicit SvgImage(Image image);

    bool isValid() const;
    QSizeF naturalSize() const;

    // Scaled to fit `frame` keeping its aspect ratio, centred in it.
    void paint(QPainter &painter, const QRectF &frame, std::optional<QColor> tint = std::nullopt) const;
    // The image at exactly `size` logical pixels (stretched when the aspect differs).
    QImage render(const QSizeF &size, qreal pixelRatio, std::optional<QColor> tint = std::nullopt) const;

    // Where an image of `natural` size lands when fitted into `frame`.
    static QRectF fittedRect(const QSizeF &natural, const QRectF &frame);

private:
    QSvgRenderer *renderer() const;

    Image m_image;
};

} // namespace vantora::ui
