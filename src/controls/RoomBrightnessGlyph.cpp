#include "controls/RoomBrightnessGlyph.h"

#include <QTransform>

#include <algorithm>
#include <array>

namespace vantora::controls::roomBrightnessGlyph {

namespace {

// Each ray runs from A; at no growth it ends at B, fully grown at C.
struct Ray {
    QPointF a;
    QPointF b;
    QPointF c;
};

const std::array<Ray, 8> rays{{
    {{20, 8}, {20, 7}, {20, 6}},
    {{24.9511, 10.0468}, {25.6582, 9.33972}, {26.3652, 8.63257}},
    {{27.0049, 14.995}, {28.0049, 14.995}, {29.0049, 14.995}},
    {{24.9579, 19.9462}, {25.665, 20.6533}, {26.3726, 21.3605}},
    {{20, 22}, {20, 23}, {20, 24}},
    {{15.0518, 19.9463}, {14.3447, 20.6534}, {13.6375, 21.3605}},
    {{13.0049, 14.995}, {12.0049, 14.995}, {11.0049, 14.995}},
    {{15.0586, 10.0468}, {14.3515, 9.33965}, {13.6444, 8.63254}},
}};

} // namespace

double rayGrowth(double progress, int ray)
{
    const double growth = 8 * progress - ray;
    if (!(growth > 0))
        return 0;
    return std::min(growth, 1.0);
}

QPainterPath path(double progress, const QRectF &rect)
{
    QPainterPath glyph;
    for (int k = 0; k < static_cast<int>(rays.size()); ++k) {
        const Ray &ray = rays[k];
        glyph.moveTo(ray.a);
        glyph.lineTo(ray.b + rayGrowth(progress, k) * (ray.c - ray.b));
    }
    glyph.addEllipse(QRectF(16, 11, 8, 8));
    QTransform toRect;
    toRect.translate(rect.left(), rect.top());
    toRect.scale(rect.width() / boxWidth, rect.height() / boxHeight);
    return toRect.map(glyph);
}

double progressFor(double brightnessPercent, bool expanded)
{
    if (!expanded || !(brightnessPercent > 0))
        return 0;
    return std::min(brightnessPercent / 100, 1.0);
}

} // namespace vantora::controls::roomBrightnessGlyph
