#pragma once

// Running coroutines to completion in tests, on a manual executor and (usually) a virtual
// clock. ASSERT_* cannot appear inside a coroutine; run the task here, then assert on the
// handle in the test body.

#include "runtime/TaskScope.h"
#include "runtime/VirtualClock.h"

namespace vantora::testing {

// A manual executor, a virtual clock on it and a scope of tasks, declared in the order
// that tears them down safely (tasks first).
struct TaskHarness {
    runtime::ManualExecutor executor;
    runtime::VirtualClock clock{executor};
    runtime::TaskScope scope{executor};

    template <typename T>
    runtime::TaskHandle<T> start(runtime::Task<T> task)
    {
        auto handle = scope.spawn(std::move(task));
        executor.runUntilIdle();
        return handle;
    }

    // Drains the executor and returns the finished task's result (rethrowing its error).
    template <typename T>
    T run(runtime::Task<T> task)
    {
        auto handle = start(std::move(task));
        Q_ASSERT_X(handle.isFinished(), "TaskHarness::run", "the task is still waiting");
        return handle.result();
    }
};

} // namespace vantora::testing
