#include "Clock.h"
#include "ExternalWait.h"

#include <QTimer>

namespace vantora::runtime {

namespace {

std::chrono::milliseconds wholeMillisecondsUntil(SteadyTime deadline, SteadyTime now)
{
    if (deadline <= now)
        return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
}

} // namespace

SteadyTime RealClock::steadyNow() const
{
    return std::chrono::steady_clock::now();
}

WallTime RealClock::wallNow() const
{
    return std::chrono::system_clock::now();
}

Task<void> RealClock::sleepUntil(SteadyTime deadline)
{
    QTimer timer;
    timer.setSingleShot(true);
    // Coarse timers may fire up to 5 % early, which would break "at least N ms apart".
    timer.setTimerType(Qt::PreciseTimer);
    co_await ExternalWait<void>(
        [&](Completer<void> done) {
            QObject::connect(&timer, &QTimer::timeout, &timer, [&timer, done, deadline, this] {
                const auto now = steadyNow();
                if (now < deadline)
                    timer.start(wholeMillisecondsUntil(deadline, now)); // woken early: wait the rest
                else
                    done.resolve();
            });
            timer.start(wholeMillisecondsUntil(deadline, steadyNow()));
        },
        [&timer] { timer.stop(); });
}

Clock &systemClock()
{
    static RealClock clock;
    return clock;
}

} // namespace vantora::runtime
