#pragma once

#include "runtime/Clock.h"
#include "runtime/TaskScope.h"

#include <functional>
#include <memory>

class QWidget;

namespace vantora::controls {

// An action that runs once, a fixed time after it was last scheduled, on the clock and
// executor of a view (virtual in tests). Scheduling again starts the wait afresh; cancelling
// or destroying it means the action never runs. Nothing waits while nothing is scheduled.
class DelayedAction final {
public:
    DelayedAction(QWidget *view, runtime::Duration delay, std::function<void()> action);
    DelayedAction(const DelayedAction &) = delete;
    DelayedAction &operator=(const DelayedAction &) = delete;
    ~DelayedAction();

    void schedule();
    void cancel();
    bool isPending() const;

private:
    runtime::Task<void> waitThenRun();

    QWidget *m_view;
    runtime::Duration m_delay;
    std::function<void()> m_action;
    runtime::TaskHandle<void> m_pending;
    // Declared last: destroying it drops the pending wait before anything else goes.
    std::unique_ptr<runtime::TaskScope> m_tasks;
};

} // namespace vantora::controls
