#include "controls/EdgeSliderGeometry.h"

#include "controls/Readouts.h"

#include <algorithm>
#include <cmath>

namespace vantora::controls::edgeSliderGeometry {

namespace {

double unit(double f)
{
    if (!(f >= 0))
        return 0;
    return std::min(f, 1.0);
}

} // namespace

double fraction(double value, ValueRange range)
{
    const ValueRange span = range.sanitised();
    if (!std::isfinite(value))
        return 0;
    return unit((value - span.lower) / std::max(span.upper - span.lower, 1.0));
}

double fillHeight(double fraction) { return travel * unit(fraction) + inset; }

double valueAt(double y, ValueRange range)
{
    const ValueRange span = range.sanitised();
    return span.lower + (span.upper - span.lower) * unit((inset + travel - y) / travel);
}

double tickBottom(int index) { return inset + travel / (tickCount - 1) * index; }
double tickWidth(int index) { return index % 5 == 0 ? 12 : 6; }

double stepped(double value, double step, ValueRange range)
{
    return range.clamp(value + step);
}

QString percentageText(double value, bool enabled)
{
    if (!enabled)
        return readouts::noValue();
    return readouts::percentSign(value);
}

} // namespace vantora::controls::edgeSliderGeometry
