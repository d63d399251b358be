#pragma once

#include "Clock.h"
#include "ExternalWait.h"

#include <cstdint>
#include <map>
#include <utility>

namespace vantora::runtime {

// Time that moves only when a test says so. Sleepers wake in deadline order, equal
// deadlines in the order they started sleeping; steady and wall time move together, and
// the executor is drained after each wake-up so everything a wake-up causes happens
// before the next one.
class VirtualClock final : public Clock {
public:
    // Wall time starts at 2026-01-01 00:00:00 UTC unless given.
    explicit VirtualClock(ManualExecutor &executor, WallTime wallStart = defaultWallStart());

    SteadyTime steadyNow() const override { return m_steady; }
    WallTime wallNow() const override { return m_wall; }
    Task<void> sleepUntil(SteadyTime deadline) override;

    void advance(Duration duration);
    void advanceTo(SteadyTime target);
    // Drains the executor without moving time.
    void runUntilIdle();

    std::size_t sleeperCount() const noexcept { return m_sleepers.size(); }
    // The earliest pending deadline, if any sleeper waits.
    std::optional<SteadyTime> nextDeadline() const;

    static WallTime defaultWallStart();

private:
    using SleeperKey = std::pair<SteadyTime, std::uint64_t>;

    void moveTo(SteadyTime time);

    ManualExecutor &m_executor;
    SteadyTime m_steady;
    WallTime m_wall;
    std::uint64_t m_nextSequence = 0;
    std::map<SleeperKey, Completer<void>> m_sleepers;
};

} // namespace vantora::runtime
