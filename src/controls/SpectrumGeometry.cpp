#include "controls/SpectrumGeometry.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace vantora::controls::spectrumGeometry {

namespace {

// 0 when negative or not a number, then at most `limit`.
double limited(double value, double limit)
{
    if (!(value >= 0))
        return 0;
    return std::min(value, limit);
}

// The fractional part, for a hue that goes round.
double wrapped(double hue)
{
    if (!std::isfinite(hue))
        return 0;
    return hue - std::floor(hue);
}

long long truncated(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<long long>(std::trunc(std::clamp(value, -1e15, 1e15)));
}

} // namespace

QSizeF usableSize(const QSizeF &field)
{
    return {std::max(field.width() - 2 * inset, 1.0), std::max(field.height() - 2 * inset, 1.0)};
}

QPointF markerCentre(double hue, double saturation, const QSizeF &field)
{
    const QSizeF usable = usableSize(field);
    return {inset + hue * usable.width(), inset + (1 - saturation) * usable.height()};
}

double hueAt(const QPointF &point, const QSizeF &field)
{
    return limited((point.x() - inset) / usableSize(field).width(), hueLimit);
}

double saturationAt(const QPointF &point, const QSizeF &field)
{
    return limited(1 - (point.y() - inset) / usableSize(field).height(), 1.0);
}

HueSaturation stepped(HueSaturation colour, Step step)
{
    switch (step) {
    case Step::HueDown:
        colour.hue = limited(colour.hue - 0.01, hueLimit);
        break;
    case Step::HueUp:
        colour.hue = std::min(colour.hue + 0.01, hueLimit);
        break;
    case Step::SaturationUp:
        colour.saturation = std::min(colour.saturation + 0.05, 1.0);
        break;
    case Step::SaturationDown:
        colour.saturation = limited(colour.saturation - 0.05, 1.0);
        break;
    }
    return colour;
}

double hueIncremented(double hue) { return wrapped(hue + 0.025); }
double hueDecremented(double hue) { return wrapped(hue + 0.975); }
double saturationRaised(double saturation) { return std::min(saturation + 0.1, 1.0); }
double saturationLowered(double saturation) { return limited(saturation - 0.1, 1.0); }

QString valueText(double hue, double saturation)
{
    return QCoreApplication::translate("ColourSpectrum", "Hue %1 degrees, saturation %2 percent")
        .arg(hueDegrees(hue))
        .arg(saturationPercent(saturation));
}

long long saturationPercent(double saturation)
{
    // Steps of 0.05 from 0.7 land a hair under 0.6: that is 60 percent, not 59.
    return truncated(saturation * 100 + 1e-9);
}

long long hueDegrees(double hue)
{
    return truncated(hue * 360);
}

} // namespace vantora::controls::spectrumGeometry
