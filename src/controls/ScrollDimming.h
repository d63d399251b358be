#pragma once

#include <QPointF>

class QWheelEvent;

// How horizontal scrolling over a light turns into brightness steps.
namespace vantora::controls::scrollDimming {

// One scroll event as the dimming reads it.
struct WheelReading final {
    // Pixels for precise devices (touchpads), notches (1 per 120 eighths of a degree) for
    // wheels. Positive x is a movement to the left, as Qt reports it.
    QPointF delta;
    bool precise = false;
    // The desktop's "natural" scrolling flipped the deltas.
    bool inverted = false;
    // The glide after the fingers left the touchpad.
    bool momentum = false;

    static WheelReading of(const QWheelEvent &event);
};

enum class Disposition {
    // Not a horizontal scroll for us: the enclosing view scrolls instead.
    PassOn,
    // A momentum event: the gesture ends here and the event is swallowed.
    EndGesture,
    // Swallowed without a step (no movement).
    Swallow,
    // A brightness step of `step` percentage points.
    Step,
};

struct Decision final {
    Disposition disposition = Disposition::PassOn;
    double step = 0;

    friend bool operator==(const Decision &, const Decision &) = default;
};

// Only a mostly horizontal movement (strictly more horizontal than vertical) of an enabled
// target dims. The step follows the physical direction whatever the desktop's scroll
// direction: a movement to the right brightens. Precise deltas count 0.35 points per pixel,
// wheel notches 3 points each.
Decision decide(const WheelReading &reading, bool enabled);

} // namespace vantora::controls::scrollDimming
