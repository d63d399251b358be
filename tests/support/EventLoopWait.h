#pragma once

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

} // namespace vantora::testing
