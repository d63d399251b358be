#include "welcome/PulseCurve.h"

#include <cmath>
#include <numbers>

namespace vantora::pulseCurve {

Mode mode(PulseSwitch pulse, Motion motion)
{
    if (pulse == PulseSwitch::Off)
        return Mode::Hidden;
    return motion == Motion::Reduced ? Mode::Still : Mode::Running;
}

Frame running(double elapsedSeconds)
{
    const double elapsed = std::isfinite(elapsedSeconds) && elapsedSeconds > 0 ? elapsedSeconds : 0;
    const double p = elapsed - std::floor(elapsed);
    const double eased = 1 - (1 - p) * (1 - p);
    return {0.68 + 0.55 * eased, std::sin(std::numbers::pi * p)};
}

Frame resting(Mode mode)
{
    return {1, mode == Mode::Still ? stillOpacity : 0};
}

} // namespace vantora::pulseCurve
