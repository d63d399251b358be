#pragma once

// For tests that run against a real X server (started by run-under-xvfb.sh).

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <functional>

namespace vantora::testing {

// Processes events until `done` holds, bounded so that an event that never comes fails the
// test instead of hanging it. The bound is generous: on a loaded machine a key takes seconds
// to travel from the X server through the desktop's daemons to the program.
inline bool waitUntil(const std::function<bool()> &done)
{
    QDeadlineTimer deadline(std::chrono::seconds(30));
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// Types keys through the X server (XTest), as a person at the keyboard would.
inline bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

} // namespace vantora::testing
