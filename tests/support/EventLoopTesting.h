#pragma once

// Running coroutines on the real Qt event loop, for integration tests that wait on real
// sockets, servers and threads. Every wait is bounded by a watchdog; nothing sleeps.
// Unit tests use TaskTesting.h (manual executor, virtual clock) instead.

#include "runtime/TaskScope.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <chrono>

namespace vantora::testing {

namespace detail {

template <typename T>
runtime::Task<void> quitWhenFinished(runtime::TaskHandle<T> handle, QPointer<QEventLoop> loop)
{
    try {
        co_await handle.join();
    } catch (...) {
        // Only the end matters here; the test reads the result from the handle.
    }
    if (loop)
        loop->quit();
}

} // namespace detail

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
        if (handle.isFinished())
            return true;
        QEventLoop loop;
        QTimer::singleShot(watchdog, &loop, &QEventLoop::quit);
        m_scope.spawn(detail::quitWhenFinished(handle, QPointer<QEventLoop>(&loop)));
        loop.exec();
        return handle.isFinished();
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
