#pragma once

#include <QEasingCurve>
#include <QString>

namespace vantora::ui {

// How a value moves from where it is to a new target: not at all (an immediate change), along
// a cubic timing curve over a fixed time, or as a damped spring.
//
// A spring is given as the views name it: `response` is the period in seconds of the
// undamped oscillation (ω₀ = 2π / response) and `dampingFraction` is ζ (1 is critically
// damped, less overshoots). Progress is 0 at the start and 1 at the target; a spring may pass 1.
// It has settled once its distance and speed measured together fall below 0.001 of the way,
// a measure that only ever shrinks, so a spring never counts as settled while it still swings.
class Animation final {
public:
    enum class Kind {
        None,
        TimingCurve,
        Spring,
    };

    Animation() = default;

    static Animation none() { return {}; }
    static Animation timingCurve(double x1, double y1, double x2, double y2, double seconds);
    static Animation linear(double seconds) { return timingCurve(0, 0, 1, 1, seconds); }
    static Animation easeIn(double seconds) { return timingCurve(0.42, 0, 1, 1, seconds); }
    static Animation easeOut(double seconds) { return timingCurve(0, 0, 0.58, 1, seconds); }
    static Animation easeInOut(double seconds) { return timingCurve(0.42, 0, 0.58, 1, seconds); }
    static Animation spring(double response, double dampingFraction);

    Kind kind() const noexcept { return m_kind; }
    bool isNone() const noexcept { return m_kind == Kind::None; }
    // The duration of a timing curve; 0 for the others.
    double seconds() const noexcept { return m_seconds; }
    double response() const noexcept { return m_response; }
    double dampingFraction() const noexcept { return m_damping; }

    // Progress `elapsed` seconds after the start. `initialVelocity` (progress per second) is
    // the speed a spring starts with when it takes over a moving value; curves ignore it.
    double progress(double elapsed, double initialVelocity = 0) const;
    // Speed in progress per second; 0 for curves and for no animation.
    double velocity(double elapsed, double initialVelocity = 0) const;
    bool isFinished(double elapsed, double initialVelocity = 0) const;
    // When the motion has finished: the curve's duration, or when the spring has settled.
    double settlingTime(double initialVelocity = 0) const;

    QString description() const;

    friend bool operator==(const Animation &a, const Animation &b);

private:
    struct SpringState {
        double offset;   // distance still to go, 1 at the start
        double speed;    // its rate of change
    };
    SpringState springState(double elapsed, double initialVelocity) const;
    bool springHasSettled(double elapsed, double initialVelocity) const;

    Kind m_kind = Kind::None;
    double m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    double m_seconds = 0;
    double m_response = 0;
    double m_damping = 0;
    QEasingCurve m_curve;
};

} // namespace vantora::ui
