#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

// Where hue and saturation lie on the colour spectrum field: hue grows from left to right,
// saturation from the bottom (0) to the top (1), inside an inset on every edge. Both values
// are fractions 0 … 1; the hue stops just short of 1, which is the same colour as 0.
namespace vantora::controls::spectrumGeometry {

inline constexpr double inset = 12;
inline constexpr double hueLimit = 0.9999;

// The field less both insets in each direction, at least 1 by 1.
QSizeF usableSize(const QSizeF &field);

// The marker's centre for a colour.
QPointF markerCentre(double hue, double saturation, const QSizeF &field);

// The hue and saturation a pointer at `point` asks for: each 0 when its reading is negative
// or not a number, the hue at most hueLimit, the saturation at most 1.
double hueAt(const QPointF &point, const QSizeF &field);
double saturationAt(const QPointF &point, const QSizeF &field);

// The arrow keys' steps: the hue by 0.01 and the saturation by 0.05, stopping at the ends.
enum class Step {
    HueDown,
    HueUp,
    SaturationUp,
    SaturationDown,
};
struct HueSaturation final {
    double hue = 0;
    double saturation = 0;
    friend bool operator==(const HueSaturation &, const HueSaturation &) = default;
};
HueSaturation stepped(HueSaturation colour, Step step);

// Assistive technologies' steps: the hue by 0.025 with wrapping round (so 0.99 goes up to
// about 0.015), the saturation by 0.1 stopping at the ends.
double hueIncremented(double hue);
double hueDecremented(double hue);
double saturationRaised(double saturation);
double saturationLowered(double saturation);

// "Hue 180 degrees, saturation 25 percent", both truncated; a value that is not finite
// reads as 0.
QString valueText(double hue, double saturation);
// The hue in the whole degrees valueText reads.
long long hueDegrees(double hue);
// The saturation in the whole percent valueText reads.
long long saturationPercent(double saturation);

} // namespace vantora::controls::spectrumGeometry
