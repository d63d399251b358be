#include "TaskScope.h"

namespace vantora::runtime {

TaskScope::~TaskScope()
{
    auto tasks = std::exchange(m_tasks, {});
    for (auto &[id, entry] : tasks) {
        entry.frame.destroy();
        entry.abandon();
    }
}

void TaskScope::cancelAll()
{
    // A cancel hook may spawn or end tasks; walk a copy.
    std::vector<std::shared_ptr<detail::CancelState>> states;
    states.reserve(m_tasks.size());
    for (const auto &[id, entry] : m_tasks)
        states.push_back(entry.cancel);
    for (const auto &state : states)
        state->cancel();
}

void TaskScope::finished(std::uint64_t id)
{
    auto it = m_tasks.find(id);
    Q_ASSERT(it != m_tasks.end());
    const auto frame = it->second.frame;
    m_tasks.erase(it);
    // The frame is suspended at its final point; destroying it here is its last step.
    frame.destroy();
}

} // namespace vantora::runtime
