#pragma once

#include <algorithm>
#include <cmath>

namespace vantora {

// The lowest brightness, in percent, a change may set on a light: always within 1…100,
// however the light was made. A value outside is clamped; one that is not a number is 1.
// Reads as the plain percentage.
class BrightnessFloor final {
public:
    constexpr BrightnessFloor(double percent = 1.0) noexcept
        : m_percent(std::isnan(percent) ? 1.0 : std::clamp(percent, 1.0, 100.0))
    {
    }

    constexpr operator double() const noexcept { return m_percent; }

private:
    double m_percent;
};

} // namespace vantora
