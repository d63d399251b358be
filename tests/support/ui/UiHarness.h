#pragma once

// A top-level window whose views run on a virtual clock and a manual executor, for tests of
// motion and view-bound tasks. Declared in teardown order: the window (and every task and
// frame clock it owns) goes before the clock.

#include "TaskTesting.h"

#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"

#include <QWidget>

namespace vantora::testing {

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
