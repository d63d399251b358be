#include "controls/ValueRange.h"

#include <cmath>

namespace vantora::controls {

ValueRange ValueRange::sanitised() const
{
    const double low = std::isfinite(lower) ? lower : 0.0;
    const double high = std::isfinite(upper) && upper >= low ? upper : low;
    return {low, high};
}

double ValueRange::clamp(double value) const
{
    const ValueRange span = sanitised();
    if (!std::isfinite(value))
        return span.lower;
    if (value < span.lower)
        value = span.lower;
    if (value > span.upper)
        value = span.upper;
    return value;
}

} // namespace vantora::controls
