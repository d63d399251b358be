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

QColor LightsActionButtonStyle::foreground(ColorScheme scheme)
{
    return colours::grey(scheme == ColorScheme::Dark ? 0.94 : 0.16);
}

DropShadow LightsActionButtonStyle::shadow()
{
    return {colours::black(0.08), 2.5, QPointF(0, 2)};
}

void LightsActionButtonStyle::paintCapsule(QPainter &painter, const QRectF &rect, ColorScheme scheme,
                                           qreal hoverAmount) const
{
    const bool dark = scheme == ColorScheme::Dark;
    const QPainterPath capsule = shapes::roundedRect(rect, shapes::capsule);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule, dark ? shapes::verticalGradient(rect, {colours::grey(0.30), colours::grey(0.21)})
                                   : shapes::verticalGradient(rect, {colours::white(), bottomColour}));
    shapes::strokeInside(painter, rect, shapes::capsule, rimWidth,
                         dark ? shapes::verticalGradient(rect, {colours::grey(0.43), colours::grey(0.17), colours::grey(0.32)})
                              : shapes::verticalGradient(rect, {colours::white(), colours::grey(0.72), colours::white()}));
    if (hoverAmount > 0)
        painter.fillPath(capsule, colours::grey255(41, hoverTintOpacity * hoverAmount));
    painter.restore();
}

} // namespace vantora::ui
