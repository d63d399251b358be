#pragma once

// Running coroutines on the real Qt event loop, for integration tests that wait on real
// sockets, servers and threads. Every wait is bounded by a watchdog; nothing sleeps.
// Unit tests use TaskTesting.h (manual executor, virtual clock) instead.

#include "runtime/TaskScope.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace vantora::testing {

// Runs the real event loop until `done` holds, waking only for events, or until the
// watchdog runs out. Answers whether `done` held.
inline bool waitForEvents(const std::function<bool()> &done, std::chrono::milliseconds watchdog)
{
    bool expired = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&expired] { expired = true; });
    timer.start(watchdog);
    while (!done() && !expired)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Tasks spawned on the main executor, destroyed with the harness (declare it after the
// objects its tasks use, such as a fake bridge).
class EventLoopHarness final {
public:
    static constexpr std::chrono::milliseconds defaultWatchdog{10'000};

    template <typename T>
    runtime::TaskHandle<T> start(runtime::Task<T> task)
    {
        return m_scope.spawn(std::move(task));
    }

    // Runs the event loop until the task has finished or the watchdog fires; true when it
    // finished.
    template <typename T>
    bool waitUntilFinished(const runtime::TaskHandle<T> &handle, std::chrono::milliseconds watchdog = defaultWatchdog)
    {
        return waitForEvents([&handle] { return handle.isFinished(); }, watchdog);
    }

    // Starts the task and waits for it; assert isFinished() on the handle before reading it.
    template <typename T>
    runtime::TaskHandle<T> run(runtime::Task<T> task, std::chrono::milliseconds watchdog = defaultWatchdog)
    {
        auto handle = start(std::move(task));
        waitUntilFinished(handle, watchdog);
        return handle;
    }

private:
    runtime::TaskScope m_scope{runtime::mainExecutor()};
};

} // namespace vantora::testing
