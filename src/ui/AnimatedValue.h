#pragma once

#include "ui/Animation.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FrameClock.h"
#include "ui/Interpolation.h"
#include "ui/MotionRecorder.h"
#include "ui/Transaction.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <type_traits>

namespace vantora::ui {

// Whether an animation gives way to the desktop's Reduce Motion setting.
enum class UnderReduceMotion {
    // The change becomes immediate (the usual case).
    Drop,
    // The animation runs as given (the few motions that must keep their timing).
    Keep,
};

// One animated property of a widget: the target it was last given and the value presented on
// screen, which moves towards the target on the window's frame clock. Every frame calls
// `onChange` (by default the owner repaints).
//
// A new target is reached at once when the animation is none, when Reduce Motion drops it,
// or when the owner is not on screen. Otherwise the motion starts from the presented value, so
// a retarget never jumps; a spring that takes over a moving number keeps its speed. Setting
// the current target again changes nothing and records nothing.
//
// `interpolate(from, to, progress)` must exist for T (see Interpolation.h).
template <typename T>
class AnimatedValue final : private FrameListener {
public:
    AnimatedValue(QWidget *owner, QByteArray property, T initial, std::function<void()> onChange = {})
        : m_owner(owner)
        , m_property(std::move(property))
        , m_value(initial)
        , m_from(initial)
        , m_target(std::move(initial))
        , m_onChange(std::move(onChange))
    {
        if (!m_onChange)
            m_onChange = [owner] { owner->update(); };
    }

    ~AnimatedValue() { stopFrames(); }

    AnimatedValue(const AnimatedValue &) = delete;
    AnimatedValue &operator=(const AnimatedValue &) = delete;

    const T &value() const noexcept { return m_value; }
    const T &target() const noexcept { return m_target; }
    bool isAnimating() const { return m_clock && m_clock->contains(this); }

    void animateTo(T target, const Animation &requested, UnderReduceMotion rule = UnderReduceMotion::Drop)
    {
        if (target == m_target)
            return;
        const Animation chosen =
            rule == UnderReduceMotion::Drop && reduceMotion(m_owner) ? Animation::none() : requested;
        MotionRecorder::record(m_owner, m_property, chosen);
        if (chosen.isNone() || !m_owner->isVisible()) {
            jumpTo(std::move(target));
            return;
        }
        FrameClock &clock = FrameClock::of(m_owner);
        if (!clock.isWindowVisible()) {
            jumpTo(std::move(target));
            return;
        }
        const double carriedVelocity = velocityToward(target, chosen, clock.now());
        // An owner moved into another window moves on that window's clock alone.
        if (m_clock != &clock)
            stopFrames();
        m_from = m_value;
        m_target = std::move(target);
        m_animation = chosen;
        m_initialVelocity = carriedVelocity;
        m_start = clock.now();
        m_clock = &clock;
        clock.add(this, m_owner);
    }

    // Under the current transaction's animation.
    void animateTo(T target) { animateTo(std::move(target), Transaction::current()); }

    // Moves to `target` at once, without recording a choice.
    void setImmediately(T target) { jumpTo(std::move(target)); }

private:
    static double secondsBetween(runtime::SteadyTime from, runtime::SteadyTime to)
    {
        return std::chrono::duration<double>(to - from).count();
    }

    // The present speed of a moving number, expressed as progress per second of a new motion
    // towards `target`. Only springs take speed over, and only numbers have a direction.
    double velocityToward(const T &target, const Animation &next, runtime::SteadyTime now) const
    {
        if constexpr (std::is_arithmetic_v<T>) {
            if (!isAnimating() || next.kind() != Animation::Kind::Spring)
                return 0;
            const double distanceNow = static_cast<double>(target) - static_cast<double>(m_value);
            if (distanceNow == 0)
                return 0;
            const double speed = m_animation.velocity(secondsBetween(m_start, now), m_initialVelocity)
                * (static_cast<double>(m_target) - static_cast<double>(m_from));
            return speed / distanceNow;
        } else {
            return 0;
        }
    }

    void jumpTo(T target)
    {
        stopFrames();
        const bool changed = !(m_value == target);
        m_target = target;
        m_from = target;
        m_value = std::move(target);
        if (changed)
            m_onChange();
    }

    void stopFrames()
    {
        if (m_clock)
            m_clock->remove(this);
        m_clock = nullptr;
    }

    FrameDemand frame(runtime::SteadyTime now) override
    {
        const double elapsed = secondsBetween(m_start, now);
        if (m_animation.isFinished(elapsed, m_initialVelocity)) {
            m_value = m_target;
            m_clock = nullptr;
            m_onChange();
            return FrameDemand::Done;
        }
        m_value = interpolate(m_from, m_target, m_animation.progress(elapsed, m_initialVelocity));
        m_onChange();
        return FrameDemand::More;
    }

    void framesStopped() override
    {
        m_clock = nullptr;
        m_value = m_target;
        m_onChange();
    }

    QWidget *m_owner;
    QByteArray m_property;
    T m_value;
    T m_from;
    T m_target;
    std::function<void()> m_onChange;
    Animation m_animation;
    double m_initialVelocity = 0;
    runtime::SteadyTime m_start{};
    QPointer<FrameClock> m_clock;
};

} // namespace vantora::ui
