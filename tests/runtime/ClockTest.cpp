#include "TaskTesting.h"

#include "runtime/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::runtime::Task;
using vantora::runtime::VirtualClock;
using vantora::testing::TaskHarness;

namespace {

Task<void> sleepAndLog(VirtualClock &clock, std::chrono::milliseconds delay, std::vector<std::string> &log, std::string name)
{
    co_await clock.sleepFor(delay);
    log.push_back(std::move(name));
}

Task<void> sleepThenSpawnFollowUp(VirtualClock &clock, std::vector<std::string> &log)
{
    co_await clock.sleepFor(100ms);
    log.push_back("first");
    co_await clock.sleepFor(50ms);
    log.push_back("follow-up");
}

} // namespace

TEST(VirtualClock, WakesByDeadlineThenByRegistrationOrder)
{
    TaskHarness harness;
    std::vector<std::string> log;
    harness.start(sleepAndLog(harness.clock, 300ms, log, "late"));
    harness.start(sleepAndLog(harness.clock, 100ms, log, "equal-a"));
    harness.start(sleepAndLog(harness.clock, 100ms, log, "equal-b"));
    harness.start(sleepAndLog(harness.clock, 50ms, log, "early"));

    harness.clock.advance(1s);
    EXPECT_EQ(log, (std::vector<std::string>{"early", "equal-a", "equal-b", "late"}));
}

TEST(VirtualClock, SteadyAndWallTimeMoveTogetherAndWakeUpsSeeTheirDeadline)
{
    TaskHarness harness;
    const auto steady0 = harness.clock.steadyNow();
    const auto wall0 = harness.clock.wallNow();
    std::vector<std::chrono::nanoseconds> seenAt;
    harness.start([](VirtualClock &clock, std::vector<std::chrono::nanoseconds> &seen, vantora::runtime::SteadyTime origin) -> Task<void> {
        co_await clock.sleepFor(250ms);
        seen.push_back(clock.steadyNow() - origin);
    }(harness.clock, seenAt, steady0));

    harness.clock.advance(1s);
    EXPECT_EQ(seenAt, (std::vector<std::chrono::nanoseconds>{250ms}));
    EXPECT_EQ(harness.clock.steadyNow() - steady0, 1s);
    EXPECT_EQ(harness.clock.wallNow() - wall0, 1s);
}

TEST(VirtualClock, SleepsStartedDuringAnAdvanceFireWithinIt)
{
    TaskHarness harness;
    std::vector<std::string> log;
    harness.start(sleepThenSpawnFollowUp(harness.clock, log));
    harness.clock.advance(120ms);
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));
    harness.clock.advance(30ms);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "follow-up"}));
}

TEST(VirtualClock, PastDeadlineWakesWithoutTimePassing)
{
    TaskHarness harness;
    std::vector<std::string> log;
    const auto now = harness.clock.steadyNow();
    harness.start([](VirtualClock &clock, std::vector<std::string> &out, vantora::runtime::SteadyTime at) -> Task<void> {
        co_await clock.sleepUntil(at - 1s);
        out.push_back("woke");
    }(harness.clock, log, now));
    EXPECT_EQ(log, (std::vector<std::string>{"woke"}));
    EXPECT_EQ(harness.clock.steadyNow(), now);
}

TEST(RealClock, SleepNeverWakesEarlyOnTheQtEventLoop)
{
    auto &clock = vantora::runtime::systemClock();
    vantora::runtime::TaskScope scope; // the Qt main executor
    std::optional<vantora::runtime::SteadyTime> wokeAt;
    const auto start = clock.steadyNow();
    auto handle = scope.spawn([](vantora::runtime::Clock &c, std::optional<vantora::runtime::SteadyTime> &woke) -> Task<void> {
        co_await c.sleepFor(50ms);
        woke = c.steadyNow();
    }(clock, wokeAt));

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (handle.isFinished())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // watchdog, not a measurement
    loop.exec();

    ASSERT_TRUE(handle.isFinished());
    ASSERT_TRUE(wokeAt);
    EXPECT_GE(*wokeAt - start, 50ms);
}

TEST(RealClock, CancelledSleepStopsItsTimerAndEndsWithCancellation)
{
    auto &clock = vantora::runtime::systemClock();
    vantora::runtime::TaskScope scope;
    auto handle = scope.spawn([](vantora::runtime::Clock &c) -> Task<void> { co_await c.sleepFor(1h); }(clock));
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] { handle.cancel(); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (handle.isFinished())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(handle.isFinished());
    EXPECT_THROW(handle.result(), vantora::runtime::CancellationError);
}
