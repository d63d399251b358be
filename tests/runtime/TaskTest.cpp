#include "TaskTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::runtime::CancellationError;
using vantora::runtime::Completer;
using vantora::runtime::ExternalWait;
using vantora::runtime::Task;
using vantora::runtime::TaskHandle;
using vantora::runtime::VirtualClock;
using vantora::testing::TaskHarness;

namespace {

Task<int> answer() { co_return 42; }

Task<int> throwsBeforeSuspending()
{
    throw std::runtime_error("before");
    co_return 0;
}

Task<int> throwsAfterSuspending(VirtualClock &clock)
{
    co_await clock.sleepFor(1s);
    throw std::runtime_error("after");
}

Task<int> valueAfter(VirtualClock &clock, std::chrono::seconds delay, int value)
{
    co_await clock.sleepFor(delay);
    co_return value;
}

Task<int> sumOfTwo() { co_return co_await answer() + co_await answer(); }

Task<void> record(std::vector<std::string> &log, std::string entry)
{
    log.push_back(std::move(entry));
    co_return;
}

Task<bool> sleepReportingCancellation(VirtualClock &clock, std::chrono::seconds delay)
{
    try {
        co_await clock.sleepFor(delay);
    } catch (const CancellationError &) {
        co_return true;
    }
    co_return false;
}

Task<int> joinAndRecord(TaskHandle<int> handle, std::vector<int> &results)
{
    const int value = co_await handle.join();
    results.push_back(value);
    co_return value;
}

// Counts how its frame ends: normally, or destroyed while suspended.
struct FrameProbe {
    int *destroyed;
    bool *resumed;
    ~FrameProbe() { ++*destroyed; }
};

Task<void> waitForever(int &destroyed, bool &resumed)
{
    FrameProbe probe{&destroyed, &resumed};
    co_await ExternalWait<void>([](Completer<void>) {});
    resumed = true;
}

} // namespace

TEST(Task, ValuesAndErrorsTravelThroughAwait)
{
    TaskHarness harness;
    EXPECT_EQ(harness.run(sumOfTwo()), 84);
    EXPECT_THROW(harness.run(throwsBeforeSuspending()), std::runtime_error);

    auto late = harness.start(throwsAfterSuspending(harness.clock));
    EXPECT_FALSE(late.isFinished());
    harness.clock.advance(1s);
    ASSERT_TRUE(late.isFinished());
    EXPECT_THROW(late.result(), std::runtime_error);
}

TEST(Task, AwaitedTaskStartsInlineWithoutATurnOfTheExecutor)
{
    TaskHarness harness;
    auto handle = harness.scope.spawn(sumOfTwo());
    // One turn starts the spawned task; awaiting the inner tasks must need no further turns.
    EXPECT_TRUE(harness.executor.runOne());
    EXPECT_TRUE(handle.isFinished());
    EXPECT_EQ(harness.executor.pendingCount(), 0u);
}

TEST(Spawn, StartsOnALaterTurnInFifoOrder)
{
    TaskHarness harness;
    std::vector<std::string> log;
    harness.scope.spawn(record(log, "first"));
    harness.scope.spawn(record(log, "second"));
    harness.scope.spawn(record(log, "third"));
    EXPECT_TRUE(log.empty()) << "spawn must never run the task inline";
    harness.executor.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(Spawn, OneResultReachesEveryJoiner)
{
    TaskHarness harness;
    std::vector<int> results;
    auto producer = harness.start(valueAfter(harness.clock, 2s, 7));
    std::vector<TaskHandle<int>> joiners;
    for (int i = 0; i < 3; ++i)
        joiners.push_back(harness.scope.spawn(joinAndRecord(producer, results)));
    harness.executor.runUntilIdle();
    EXPECT_TRUE(results.empty());

    harness.clock.advance(2s);
    EXPECT_EQ(results, (std::vector<int>{7, 7, 7}));

    // Joining a finished task answers without waiting.
    auto lateJoiner = harness.scope.spawn(joinAndRecord(producer, results));
    EXPECT_TRUE(harness.executor.runOne());
    EXPECT_TRUE(lateJoiner.isFinished());
}

TEST(Spawn, CancellingAJoinerLeavesTheJoinedTaskAndTheJoinRunning)
{
    TaskHarness harness;
    std::vector<int> results;
    auto producer = harness.start(valueAfter(harness.clock, 2s, 9));
    auto joiner = harness.start(joinAndRecord(producer, results));

    joiner.cancel();
    harness.executor.runUntilIdle();
    EXPECT_FALSE(producer.isCancelled());
    EXPECT_FALSE(joiner.isFinished()) << "a join is not interrupted by the joiner's cancellation";

    harness.clock.advance(2s);
    EXPECT_EQ(producer.result(), 9);
    EXPECT_EQ(joiner.result(), 9);
}

Task<int> joinPassingCancellationAndRecord(TaskHandle<int> handle, std::vector<int> &results)
{
    const int value = co_await handle.joinPassingCancellation();
    results.push_back(value);
    co_return value;
}

TEST(Spawn, AJoinPassingCancellationHandsTheJoinersCancellationToTheJoinedTask)
{
    enum class WhenCancelled { whileJoining, beforeJoining };
    for (const auto when : {WhenCancelled::whileJoining, WhenCancelled::beforeJoining}) {
        SCOPED_TRACE(when == WhenCancelled::whileJoining ? "while joining" : "before joining");
        TaskHarness harness;
        std::vector<int> results;
        auto producer = harness.start([](VirtualClock &clock) -> Task<int> {
            co_await clock.sleepFor(2s);
            co_return 9;
        }(harness.clock));
        auto joiner = harness.scope.spawn(joinPassingCancellationAndRecord(producer, results));
        if (when == WhenCancelled::whileJoining)
            harness.executor.runUntilIdle();
        joiner.cancel();
        harness.executor.runUntilIdle();

        EXPECT_TRUE(producer.isCancelled());
        ASSERT_TRUE(producer.isFinished()) << "the joined task unwinds without any time passing";
        EXPECT_THROW(producer.result(), CancellationError);
        ASSERT_TRUE(joiner.isFinished());
        EXPECT_THROW(joiner.result(), CancellationError);
        EXPECT_TRUE(results.empty());
    }
}

TEST(Spawn, AJoinPassingCancellationDeliversTheResultWhenNobodyCancels)
{
    TaskHarness harness;
    std::vector<int> results;
    auto producer = harness.start(valueAfter(harness.clock, 2s, 9));
    auto joiner = harness.start(joinPassingCancellationAndRecord(producer, results));
    harness.clock.advance(2s);
    EXPECT_EQ(joiner.result(), 9);
}

TEST(Cancellation, CancelledSleepEndsAtOnceWithNoVirtualTimePassing)
{
    TaskHarness harness;
    const auto start = harness.clock.steadyNow();
    auto sleeper = harness.start(sleepReportingCancellation(harness.clock, 10s));
    EXPECT_EQ(harness.clock.sleeperCount(), 1u);

    sleeper.cancel();
    EXPECT_EQ(harness.clock.sleeperCount(), 0u) << "the cancel hook must unregister at once";
    EXPECT_FALSE(sleeper.isFinished()) << "the coroutine resumes through the executor, not inside cancel()";
    harness.executor.runUntilIdle();
    ASSERT_TRUE(sleeper.isFinished());
    EXPECT_TRUE(sleeper.result());
    EXPECT_EQ(harness.clock.steadyNow(), start);
}

TEST(Cancellation, SleepInAnAlreadyCancelledTaskThrowsWithoutSuspending)
{
    TaskHarness harness;
    auto sleeper = harness.scope.spawn(sleepReportingCancellation(harness.clock, 10s));
    sleeper.cancel();
    EXPECT_TRUE(harness.executor.runOne());
    ASSERT_TRUE(sleeper.isFinished());
    EXPECT_TRUE(sleeper.result());
    EXPECT_EQ(harness.clock.sleeperCount(), 0u);
}

TEST(Cancellation, WaitWhoseWakeUpIsQueuedEndsNormallyAndTheNextCheckThrows)
{
    TaskHarness harness;
    std::optional<Completer<void>> completer;
    bool waitEndedNormally = false;
    auto task = harness.start([](std::optional<Completer<void>> &slot, bool &normal) -> Task<void> {
        co_await ExternalWait<void>([&slot](Completer<void> done) { slot = done; });
        normal = true;
        co_await vantora::runtime::checkCancellation();
    }(completer, waitEndedNormally));
    ASSERT_TRUE(completer);
    completer->resolve(); // the wake-up is now queued on the executor
    task.cancel();
    harness.executor.runUntilIdle();
    EXPECT_TRUE(waitEndedNormally);
    EXPECT_THROW(task.result(), CancellationError);
}

TEST(Cancellation, ExternalCompletionAfterCancellationIsIgnored)
{
    TaskHarness harness;
    std::optional<Completer<int>> completer;
    int hookRuns = 0;
    auto task = harness.start([](std::optional<Completer<int>> &slot, int &hooks) -> Task<int> {
        const int value = co_await ExternalWait<int>([&slot](Completer<int> done) { slot = done; }, [&hooks] { ++hooks; });
        co_return value;
    }(completer, hookRuns));
    ASSERT_TRUE(completer);
    task.cancel();
    EXPECT_EQ(hookRuns, 1);
    completer->resolve(5); // e.g. an aborted reply reporting afterwards
    harness.executor.runUntilIdle();
    EXPECT_THROW(task.result(), CancellationError);
    EXPECT_FALSE(completer->isPending());
}

TEST(Ownership, DestroyingTheScopeDestroysPendingTasksWithoutResumingThem)
{
    int destroyed = 0;
    bool resumed = false;
    TaskHandle<void> handle;
    {
        TaskHarness harness;
        handle = harness.start(waitForever(destroyed, resumed));
        auto sleeping = harness.start(sleepReportingCancellation(harness.clock, 5s));
        (void)sleeping;
        EXPECT_EQ(harness.scope.activeCount(), 2u);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(resumed);
    // Joiners elsewhere learn that the task will never finish.
    EXPECT_TRUE(handle.isFinished());
    EXPECT_THROW(handle.result(), CancellationError);
}

TEST(Ownership, FinishedTasksLeaveTheScope)
{
    TaskHarness harness;
    harness.start(answer());
    harness.start(sleepReportingCancellation(harness.clock, 1s));
    EXPECT_EQ(harness.scope.activeCount(), 1u);
    harness.clock.advance(1s);
    EXPECT_EQ(harness.scope.activeCount(), 0u);
}

TEST(Ownership, CancelAllReachesEveryPendingWait)
{
    TaskHarness harness;
    auto a = harness.start(sleepReportingCancellation(harness.clock, 1s));
    auto b = harness.start(sleepReportingCancellation(harness.clock, 2s));
    harness.scope.cancelAll();
    harness.executor.runUntilIdle();
    EXPECT_TRUE(a.result());
    EXPECT_TRUE(b.result());
}
