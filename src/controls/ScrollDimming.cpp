#include "controls/ScrollDimming.h"

#include <QWheelEvent>

#include <cmath>

namespace vantora::controls::scrollDimming {

namespace {
constexpr double eighthsOfADegreePerNotch = 120;
constexpr double pointsPerPixel = 0.35;
constexpr double pointsPerNotch = 3.0;
} // namespace

WheelReading WheelReading::of(const QWheelEvent &event)
{
    WheelReading reading;
    reading.precise = !event.pixelDelta().isNull();
    reading.delta = reading.precise ? QPointF(event.pixelDelta())
                                    : QPointF(event.angleDelta()) / eighthsOfADegreePerNotch;
    reading.inverted = event.inverted();
    reading.momentum = event.phase() == Qt::ScrollMomentum;
    return reading;
}

Decision decide(const WheelReading &reading, bool enabled)
{
    if (!enabled)
        return {};
    const double dx = reading.delta.x();
    const double dy = reading.delta.y();
    if (!(std::abs(dx) > std::abs(dy)))
        return {};
    if (reading.momentum)
        return {Disposition::EndGesture, 0};
    const double directed = reading.inverted ? dx : -dx;
    const double step = directed * (reading.precise ? pointsPerPixel : pointsPerNotch);
    if (step == 0)
        return {Disposition::Swallow, 0};
    return {Disposition::Step, step};
}

} // namespace vantora::controls::scrollDimming
