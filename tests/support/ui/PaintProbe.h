#pragma once

#include <QImage>
#include <QWidget>

#include <algorithm>

namespace vantora::testing {

// `widget` and its children painted on a transparent ground, with no window background
// behind them: what the widget itself covers.
inline QImage paintedAlone(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// How wide and how high the solid part of `image` is (alpha at least a half), measured along
// the row and the column through `through`.
inline QSize solidExtent(const QImage &image, QPoint through)
{
    int width = 0;
    for (int x = 0; x < image.width(); ++x)
        width += qAlpha(image.pixel(x, through.y())) >= 128 ? 1 : 0;
    int height = 0;
    for (int y = 0; y < image.height(); ++y)
        height += qAlpha(image.pixel(through.x(), y)) >= 128 ? 1 : 0;
    return {width, height};
}

// How light `image` looks on average, from 0 (black) to 1 (white): the mean of each pixel's
// luminance, weighted as the eye weighs red, green and blue.
inline double meanLuminance(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            sum += 0.2126 * colour.redF() + 0.7152 * colour.greenF() + 0.0722 * colour.blueF();
        }
    }
    return sum / (double(image.width()) * image.height());
}

// The most opaque pixel of `image`.
inline int strongestAlpha(const QImage &image)
{
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            strongest = std::max(strongest, qAlpha(image.pixel(x, y)));
    }
    return strongest;
}

// How many pixels of `widget`, as its window shows it, are in a strong colour rather than a
// grey: the area an accent colour fills.
inline int colouredArea(QWidget &widget)
{
    const QImage shot = widget.window()->grab(QRect(widget.mapTo(widget.window(), QPoint()), widget.size())).toImage();
    int area = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            area += shot.pixelColor(x, y).hsvSaturationF() > 0.5 ? 1 : 0;
    }
    return area;
}

} // namespace vantora::testing
