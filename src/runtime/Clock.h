#pragma once

#include "Task.h"

#include <chrono>

namespace vantora::runtime {

using Duration = std::chrono::nanoseconds;
using SteadyTime = std::chrono::steady_clock::time_point;
using WallTime = std::chrono::system_clock::time_point;

// A wall time earlier than any real one, for "never happened" fields. Compare with it;
// do no arithmetic on it.
inline constexpr WallTime distantPast = WallTime::min();

// Steady time for waits and intervals, wall time for what is shown or recorded.
// Every wait in the application is a sleep on a Clock, so tests can swap in VirtualClock.
class Clock {
public:
    virtual ~Clock() = default;

    virtual SteadyTime steadyNow() const = 0;
    virtual WallTime wallNow() const = 0;

    // Ends at the deadline, never earlier. Ends with CancellationError when the task is
    // cancelled before or during the wait; a sleep whose wake-up is already on its way
    // ends normally and leaves the flag for the next check.
    virtual Task<void> sleepUntil(SteadyTime deadline) = 0;

    Task<void> sleepFor(Duration duration) { return sleepUntil(steadyNow() + duration); }
};

// The process's real clocks, with Qt precise timers on the event loop.
class RealClock final : public Clock {
public:
    SteadyTime steadyNow() const override;
    WallTime wallNow() const override;
    Task<void> sleepUntil(SteadyTime deadline) override;
};

// The application's real clock.
Clock &systemClock();

} // namespace vantora::runtime
