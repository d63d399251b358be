#include "controls/HomePillSurface.h"

#include "ui/Colours.h"
#include "ui/GroupLayer.h"
#include "ui/Shapes.h"

#include <QLinearGradient>
#include <QPainter>

namespace vantora::controls {

namespace {
constexpr double innerInset = 3;
constexpr double rimWidth = 1;
} // namespace

HomePillSurface::Palette HomePillSurface::palette(ui::ColorScheme scheme)
{
    using namespace ui::colours;
    if (scheme == ui::ColorScheme::Dark)
        return {grey(0.25), grey(0.3), grey(0.21), grey(0.43), grey(0.2), grey(0.34), grey(0.94)};
    return {white(), white(), grey(0.96), white(), grey(0.78), white(), grey(0.16)};
}

QColor HomePillSurface::hoverTint() { return ui::colours::grey255(41, 0.1); }
ui::DropShadow HomePillSurface::innerShadow() { return {ui::colours::black(0.3), 2, {0, 3}}; }
ui::DropShadow HomePillSurface::outerShadow() { return {ui::colours::black(0.05), 0.5, {}}; }
QMargins HomePillSurface::shadowMargins() { return {1, 1, 1, 3}; }

void HomePillSurface::paint(QPainter &painter, const QRectF &capsule, ui::ColorScheme scheme, double tintAmount)
{
    const Palette colours = palette(scheme);
    const QRectF inner = capsule.adjusted(innerInset, innerInset, -innerInset, -innerInset);

    innerShadow().paintUnderRoundedRect(painter, inner, ui::shapes::capsule);
    painter.fillPath(ui::shapes::roundedRect(inner, ui::shapes::capsule), colours.backFill);
    outerShadow().paintUnderRoundedRect(painter, capsule, ui::shapes::capsule);
    painter.fillPath(ui::shapes::roundedRect(capsule, ui::shapes::capsule), colours.backFill);

    ui::paintGroup(painter, capsule, 1.0, [&](QPainter &face) {
        const QPainterPath shape = ui::shapes::roundedRect(capsule, ui::shapes::capsule);
        face.fillPath(shape, ui::shapes::verticalGradient(capsule, {colours.faceTop, colours.faceBottom}));
        ui::shapes::strokeInside(face, capsule, ui::shapes::capsule, rimWidth,
                                 ui::shapes::verticalGradient(capsule, {colours.rimTop, colours.rimMiddle,
                                                                        colours.rimBottom}));
        if (tintAmount > 0) {
            QColor tint = hoverTint();
            tint.setAlphaF(tint.alphaF() * std::min(tintAmount, 1.0));
            face.fillPath(shape, tint);
        }
    });
}

namespace homePillButtonStyle {

double opacity(bool enabled, bool pressed)
{
    if (!enabled)
        return 0.4;
    return pressed ? 0.7 : 1.0;
}

bool showsTint(bool hovered, bool enabled) { return hovered && enabled; }

} // namespace homePillButtonStyle

} // namespace vantora::controls
