#include "controls/SliderGeometry.h"

#include <Qt>

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

std::optional<SliderStep> sliderStepForKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        return SliderStep::Down;
    case Qt::Key_Right:
    case Qt::Key_Up:
        return SliderStep::Up;
    case Qt::Key_PageDown:
        return SliderStep::PageDown;
    case Qt::Key_PageUp:
        return SliderStep::PageUp;
    case Qt::Key_Home:
        return SliderStep::ToLower;
    case Qt::Key_End:
        return SliderStep::ToUpper;
    default:
        return std::nullopt;
    }
}

double sliderStepped(double value, ValueRange range, SliderStep direction)
{
    const ValueRange span = range.sanitised();
    const double from = std::isfinite(value) ? value : span.lower;
    const double step = (span.upper - span.lower) / 100;
    const double page = step * 10;
    switch (direction) {
    case SliderStep::Down:
        return std::max(from - step, span.lower);
    case SliderStep::Up:
        return std::min(from + step, span.upper);
    case SliderStep::PageDown:
        return std::max(from - page, span.lower);
    case SliderStep::PageUp:
        return std::min(from + page, span.upper);
    case SliderStep::ToLower:
        return span.lower;
    case SliderStep::ToUpper:
        return span.upper;
    }
    return from;
}

} // namespace vantora::controls
