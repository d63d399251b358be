#include "controls/DelayedAction.h"

#include "ui/ViewRuntime.h"

namespace vantora::controls {

DelayedAction::DelayedAction(QWidget *view, runtime::Duration delay, std::function<void()> action)
    : m_view(view)
    , m_delay(delay)
    , m_action(std::move(action))
{
}

DelayedAction::~DelayedAction() = default;

void DelayedAction::schedule()
{
    cancel();
    // The runtime is read on first use, when the view sits in its window.
    if (!m_tasks)
        m_tasks = std::make_unique<runtime::TaskScope>(ui::ViewRuntime::of(m_view).resolvedExecutor());
    m_pending = m_tasks->spawn(waitThenRun());
}

void DelayedAction::cancel()
{
    m_pending.cancel();
    m_pending = {};
}

bool DelayedAction::isPending() const
{
    return m_pending.isValid() && !m_pending.isFinished() && !m_pending.isCancelled();
}

runtime::Task<void> DelayedAction::waitThenRun()
{
    co_await ui::ViewRuntime::of(m_view).resolvedClock().sleepFor(m_delay);
    // A wake-up already on its way when the action was cancelled must not run it.
    co_await runtime::checkCancellation();
    m_pending = {};
    m_action();
}

} // namespace vantora::controls
