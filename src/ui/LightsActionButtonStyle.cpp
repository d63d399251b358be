#include "ui/LightsActionButtonStyle.h"

#include "ui/Colours.h"
#include "ui/Shapes.h"

#include <QPainter>

namespace vantora::ui {

ButtonPhase LightsActionButtonStyle::phase(bool isEnabled, bool isDown)
{
    if (!isEnabled)
        return ButtonPhase::Disabled;
    return isDown ? ButtonPhase::Pressed : ButtonPhase::Normal;
}

qreal LightsActionButtonStyle::opacity(ButtonPhase phase)
{
    switch (phase) {
    case ButtonPhase::Normal:
        return 1;
    case ButtonPhase::Pressed:
        return 0.7;
    case ButtonPhase::Disabled:
        return 0.45;
    }
    return 1;
}

LightsActionButtonStyle::Palette LightsActionButtonStyle::palette(ColorScheme scheme) const
{
    const QColor tint = colours::grey255(41, 0.1);
    if (scheme == ColorScheme::Dark) {
        return {.fillTop = colours::grey(0.30),
                .fillBottom = colours::grey(0.21),
                .rimTop = colours::grey(0.43),
                .rimMiddle = colours::grey(0.17),
                .rimBottom = colours::grey(0.32),
                .hoverTint = tint,
                .foreground = colours::grey(0.94)};
    }
    return {.fillTop = colours::white(),
            .fillBottom = bottomColour,
            .rimTop = colours::white(),
            .rimMiddle = colours::grey(0.72),
            .rimBottom = colours::white(),
            .hoverTint = tint,
            .foreground = colours::grey(0.16)};
}

DropShadow LightsActionButtonStyle::shadow()
{
    return {colours::black(0.08), 2.5, QPointF(0, 2)};
}

void LightsActionButtonStyle::paintCapsule(QPainter &painter, const QRectF &rect, ColorScheme scheme,
                                           qreal hoverAmount) const
{
    const Palette tones = palette(scheme);
    const QPainterPath capsule = shapes::roundedRect(rect, shapes::capsule);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule, shapes::verticalGradient(rect, {tones.fillTop, tones.fillBottom}));
    shapes::strokeInside(painter, rect, shapes::capsule, rimWidth,
                         shapes::verticalGradient(rect, {tones.rimTop, tones.rimMiddle, tones.rimBottom}));
    if (hoverAmount > 0) {
        QColor tint = tones.hoverTint;
        tint.setAlphaF(tint.alphaF() * hoverAmount);
        painter.fillPath(capsule, tint);
    }
    painter.restore();
}

} // namespace vantora::ui
