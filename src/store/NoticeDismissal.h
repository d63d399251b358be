#pragma once

#include "runtime/Clock.h"
#include "runtime/TaskScope.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace vantora {

// Clears a notice 5 s after it was last assigned. Assigning a notice again, even the same
// text, starts the period over; assigning none stops it. Destroying the dismissal drops a
// pending clearing without running it.
class NoticeDismissal final {
public:
    static constexpr std::chrono::seconds delay{5};

    NoticeDismissal(runtime::Clock &clock, runtime::Executor &executor, std::function<void()> clearNotice);

    // Call after every assignment of the notice, with the value it now holds.
    void noticeAssigned(const std::optional<QString> &notice);

private:
    runtime::Task<void> clearAfterDelay();

    runtime::Clock &m_clock;
    std::function<void()> m_clearNotice;
    runtime::TaskHandle<void> m_pending;
    runtime::TaskScope m_tasks;
};

} // namespace vantora
