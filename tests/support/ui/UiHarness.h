#pragma once

// A top-level window whose views run on a virtual clock and a manual executor, for tests of
// motion and view-bound tasks. Declared in teardown order: the window (and every task and
// frame clock it owns) goes before the clock.

#include "TaskTesting.h"

#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QWidget>

namespace vantora::testing {

// The pointer enters `widget`, as the window system would report it.
inline void pointerEnters(QWidget *widget)
{
    QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
    QCoreApplication::sendEvent(widget, &enter);
}

struct UiHarness {
    TaskHarness tasks;
    QWidget window;

    UiHarness()
    {
        environment().set(ui::viewRuntimeKey, ui::ViewRuntime{&tasks.clock, &tasks.executor});
        window.resize(400, 300);
    }

    ui::Environment &environment() { return ui::Environment::scope(&window); }

    void setReduceMotion(bool on) { environment().set(ui::reduceMotionKey, on); }
    void advance(std::chrono::nanoseconds duration) { tasks.clock.advance(duration); }
    void runUntilIdle() { tasks.executor.runUntilIdle(); }
};

} // namespace vantora::testing
