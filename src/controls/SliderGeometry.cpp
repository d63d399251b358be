#include "controls/SliderGeometry.h"

#include <algorithm>
#include <cmath>

namespace vantora::controls {

namespace {

// 0 when negative or not a number, then at most 1.
double unitFraction(double f)
{
    if (!(f >= 0))
        return 0;
    return std::min(f, 1.0);
}

} // namespace

SliderGeometry SliderGeometry::of(SliderSize size)
{
    switch (size) {
    case SliderSize::Full:
        return {};
    case SliderSize::Compact:
        return {.thickness = 26,
                .trackInset = 9,
                .trackBarThickness = 6,
                .knob = {18, 18},
                .knobScaleWhileDragging = 1.15,
                .fillGlowRadius = 1};
    }
    return {};
}

double SliderGeometry::trackLength(double length) const
{
    const double usable = length - 2 * trackInset;
    return usable >= 1 ? usable : 1.0;
}

double SliderGeometry::knobCentre(double fraction, double length) const
{
    return trackInset + unitFraction(fraction) * trackLength(length);
}

double SliderGeometry::fractionAt(double position, double length) const
{
    return unitFraction((position - trackInset) / trackLength(length));
}

double sliderFraction(double value, ValueRange range)
{
    const ValueRange span = range.sanitised();
    if (!std::isfinite(value))
        return 0;
    return unitFraction((value - span.lower) / std::max(span.upper - span.lower, 0.001));
}

double sliderValueAt(double fraction, ValueRange range)
{
    const ValueRange span = range.sanitised();
    return span.lower + (span.upper - span.lower) * unitFraction(fraction);
}

double sliderStepped(double value, ValueRange range, SliderStep direction)
{
    const ValueRange span = range.sanitised();
    const double from = std::isfinite(value) ? value : span.lower;
    const double step = (span.upper - span.lower) / 100;
    switch (direction) {
    case SliderStep::Down:
        return std::max(from - step, span.lower);
    case SliderStep::Up:
        return std::min(from + step, span.upper);
    }
    return from;
}

} // namespace vantora::controls
