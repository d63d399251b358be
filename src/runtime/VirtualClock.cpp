#include "VirtualClock.h"

namespace vantora::runtime {

VirtualClock::VirtualClock(ManualExecutor &executor, WallTime wallStart)
    : m_executor(executor)
    , m_steady(std::chrono::hours(24 * 1000)) // far from zero, so "before start" times exist
    , m_wall(wallStart)
{
}

WallTime VirtualClock::defaultWallStart()
{
    return WallTime(std::chrono::seconds(1767225600)); // 2026-01-01T00:00:00Z
}

Task<void> VirtualClock::sleepUntil(SteadyTime deadline)
{
    co_await checkCancellation();
    const SleeperKey key{deadline, m_nextSequence++};
    // Unregisters the sleeper whatever ends the wait: wake-up, cancellation or the frame's
    // destruction.
    struct Registration {
        VirtualClock *clock;
        SleeperKey key;
        ~Registration() { clock->m_sleepers.erase(key); }
    } registration{this, key};

    co_await ExternalWait<void>(
        [this, key](Completer<void> done) {
            if (key.first <= m_steady)
                done.resolve();
            else
                m_sleepers.emplace(key, std::move(done));
        },
        [this, key] { m_sleepers.erase(key); });
}

void VirtualClock::moveTo(SteadyTime time)
{
    m_wall += std::chrono::duration_cast<WallTime::duration>(time - m_steady);
    m_steady = time;
}

void VirtualClock::advance(Duration duration)
{
    advanceTo(m_steady + duration);
}

void VirtualClock::advanceTo(SteadyTime target)
{
    m_executor.runUntilIdle();
    while (!m_sleepers.empty() && m_sleepers.begin()->first.first <= target) {
        auto node = m_sleepers.extract(m_sleepers.begin());
        if (node.key().first > m_steady)
            moveTo(node.key().first);
        node.mapped().resolve();
        m_executor.runUntilIdle();
    }
    if (target > m_steady)
        moveTo(target);
}

void VirtualClock::runUntilIdle()
{
    m_executor.runUntilIdle();
}

std::optional<SteadyTime> VirtualClock::nextDeadline() const
{
    if (m_sleepers.empty())
        return std::nullopt;
    return m_sleepers.begin()->first.first;
}

} // namespace vantora::runtime
