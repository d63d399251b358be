#include "store/NoticeDismissal.h"

namespace vantora {

NoticeDismissal::NoticeDismissal(runtime::Clock &clock, runtime::Executor &executor, std::function<void()> clearNotice)
    : m_clock(clock)
    , m_clearNotice(std::move(clearNotice))
    , m_tasks(executor)
{
}

void NoticeDismissal::noticeAssigned(const std::optional<QString> &notice)
{
    // Clearing the notice from the pending task lands here too; cancelling a task that is
    // already finishing does no harm.
    std::exchange(m_pending, {}).cancel();
    if (notice)
        m_pending = m_tasks.spawn(clearAfterDelay());
}

runtime::Task<void> NoticeDismissal::clearAfterDelay()
{
    co_await m_clock.sleepFor(delay);
    const bool cancelled = co_await runtime::isCancelled();
    if (!cancelled)
        m_clearNotice();
}

} // namespace vantora
