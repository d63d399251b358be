#include "welcome/ArrivalAppearance.h"

#include "ui/Colours.h"
#include "ui/Interpolation.h"
#include "ui/SystemFont.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QtMath>

namespace vantora::arrivalAppearance {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::BridgeArrivalPill)
};

QColor rgb(qreal red, qreal green, qreal blue)
{
    return QColor::fromRgbF(red, green, blue);
}

} // namespace

Colours colours(State state, ui::ColorScheme scheme)
{
    using ui::colours::white;
    const bool dark = scheme == ui::ColorScheme::Dark;
    if (state == State::Loading) {
        if (dark)
            return {rgb(1, 0.78, 0.25), rgb(0.31, 0.26, 0.12), rgb(0.25, 0.2, 0.08), white(0.28), white(0.1), white(0.18)};
        return {rgb(0.68, 0.43, 0), rgb(1, 0.96, 0.84), rgb(0.99, 0.91, 0.64), white(), rgb(1, 0.86, 0.32),
                rgb(0.93, 0.84, 0.47)};
    }
    if (dark)
        return {rgb(0.2, 0.79, 0.95), rgb(0.15, 0.29, 0.33), rgb(0.1, 0.23, 0.27), white(0.28), white(0.1), white(0.18)};
    return {rgb(0, 0.49, 0.66), rgb(0.835, 0.965, 0.992), rgb(0.769, 0.914, 0.949), white(), rgb(0.65, 0.82, 0.87),
            rgb(0.73, 0.88, 0.91)};
}

Colours blended(double connectedness, ui::ColorScheme scheme)
{
    const Colours from = colours(State::Loading, scheme);
    const Colours to = colours(State::Connected, scheme);
    const double progress = std::clamp(connectedness, 0.0, 1.0);
    return {
        ui::interpolate(from.tint, to.tint, progress),
        ui::interpolate(from.backgroundTop, to.backgroundTop, progress),
        ui::interpolate(from.backgroundBottom, to.backgroundBottom, progress),
        ui::interpolate(from.rimTop, to.rimTop, progress),
        ui::interpolate(from.rimMiddle, to.rimMiddle, progress),
        ui::interpolate(from.rimBottom, to.rimBottom, progress),
    };
}

QString text(State state)
{
    return state == State::Loading ? Texts::tr("Loading lights…") : Texts::tr("Connected");
}

int labelWidth(State state)
{
    return qCeil(QFontMetricsF(ui::systemFont(14, QFont::Medium)).horizontalAdvance(text(state)));
}

} // namespace vantora::arrivalAppearance
