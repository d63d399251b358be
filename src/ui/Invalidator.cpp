#include "ui/Invalidator.h"

#include "runtime/Executor.h"

namespace vantora::ui {

Invalidator::Invalidator(runtime::Executor &executor, std::function<void()> evaluate)
    : m_executor(executor)
    , m_evaluate(std::move(evaluate))
{
}

void Invalidator::invalidate()
{
    if (*m_pending)
        return;
    *m_pending = true;
    m_executor.post([this, pending = std::weak_ptr<bool>(m_pending)] {
        const auto alive = pending.lock();
        if (!alive || !*alive)
            return;
        *alive = false;
        m_evaluate();
    });
}

} // namespace vantora::ui
