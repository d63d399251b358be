#pragma once

// How the ring over the bridge's link button swells and fades: one cycle a second, growing
// fast at first and slowing (an ease-out), brightest in the middle of the cycle.
namespace vantora::pulseCurve {

enum class PulseSwitch {
    Off,
    On,
};

enum class Motion {
    Full,
    Reduced,
};

// What the pulse does: nothing (the ring is invisible), stand still, or run its cycle.
enum class Mode {
    Hidden,
    Still,
    Running,
};

struct Frame final {
    double scale = 1;
    double opacity = 0;

    friend bool operator==(const Frame &, const Frame &) = default;
};

inline constexpr double stillOpacity = 0.25;

// Off hides the ring whatever the motion setting; on runs it, or holds it still under
// Reduce Motion.
Mode mode(PulseSwitch pulse, Motion motion);

// The ring `elapsedSeconds` into the pulse: scale 0.68 + 0.55 e with e = 1 − (1 − p)² and
// opacity sin(π p), where p is the fraction of the current second. A time before the start,
// or one that is not a number, draws the start of a cycle (0.68, transparent).
Frame running(double elapsedSeconds);

// The ring of the modes that do not run: unscaled, at stillOpacity when still, transparent
// when hidden.
Frame resting(Mode mode);

} // namespace vantora::pulseCurve
