#include "TaskTesting.h"

#include "runtime/AsyncStream.h"

#include <gtest/gtest.h>

#include <vector>

using vantora::runtime::AsyncStream;
using vantora::runtime::CancellationError;
using vantora::runtime::Task;
using vantora::testing::TaskHarness;

namespace {

// Reads until the stream ends; `ended` tells how.
Task<void> readAll(AsyncStream<int> &stream, std::vector<int> &values, bool &ended)
{
    while (true) {
        const std::optional<int> value = co_await stream.next();
        if (!value)
            break;
        values.push_back(*value);
    }
    ended = true;
}

Task<std::optional<int>> readOne(AsyncStream<int> &stream)
{
    const std::optional<int> value = co_await stream.next();
    co_return value;
}

} // namespace

TEST(AsyncStream, DeliversInOrderWhetherTheReaderWaitsOrNot)
{
    TaskHarness harness;
    auto [stream, continuation] = AsyncStream<int>::make();
    continuation.yield(1);
    continuation.yield(2);
    std::vector<int> values;
    bool ended = false;
    harness.start(readAll(stream, values, ended));
    continuation.yield(3);
    continuation.yield(4);
    harness.executor.runUntilIdle();
    EXPECT_EQ(values, (std::vector{1, 2, 3, 4}));

    continuation.yield(5);
    continuation.finish();
    continuation.yield(6);
    harness.executor.runUntilIdle();
    EXPECT_EQ(values, (std::vector{1, 2, 3, 4, 5}));
    EXPECT_TRUE(ended);
}

TEST(AsyncStream, KeepsOnlyTheNewestValuesBeyondItsLimit)
{
    TaskHarness harness;
    auto [stream, continuation] = AsyncStream<int>::make(1);
    continuation.yield(1);
    continuation.yield(2);
    continuation.finish();
    EXPECT_EQ(harness.run(readOne(stream)), 2) << "kept values outlast the end";
    EXPECT_EQ(harness.run(readOne(stream)), std::nullopt);
}

TEST(AsyncStream, EndsOnceWhicheverSideEndsIt)
{
    TaskHarness harness;
    int terminations = 0;
    {
        auto [stream, continuation] = AsyncStream<int>::make();
        continuation.setOnTermination([&] { ++terminations; });
        continuation.finish();
        continuation.finish();
    }
    EXPECT_EQ(terminations, 1) << "finished, then dropped";

    using Pair = std::pair<AsyncStream<int>, AsyncStream<int>::Continuation>;
    auto dropped = std::make_unique<Pair>(AsyncStream<int>::make());
    const auto continuation = dropped->second;
    continuation.setOnTermination([&] { ++terminations; });
    dropped.reset();
    EXPECT_EQ(terminations, 2);
    EXPECT_TRUE(continuation.isTerminated());
    continuation.yield(1);
    continuation.setOnTermination([&] { ++terminations; });
    EXPECT_EQ(terminations, 3) << "a handler set after the end runs at once";
}

TEST(AsyncStream, ACancelledReadStopsItsProducersBeforeTheReaderResumes)
{
    TaskHarness harness;
    auto [stream, continuation] = AsyncStream<int>::make();
    bool terminated = false;
    continuation.setOnTermination([&] { terminated = true; });
    const auto reader = harness.start(readOne(stream));
    ASSERT_FALSE(reader.isFinished());
    reader.cancel();
    EXPECT_TRUE(terminated) << "the termination handler runs inside cancel()";
    EXPECT_TRUE(continuation.isTerminated());
    harness.executor.runUntilIdle();
    EXPECT_THROW(reader.result(), CancellationError);
}

TEST(AsyncStream, ACancelledReadEndsTheStream)
{
    TaskHarness harness;
    auto [stream, continuation] = AsyncStream<int>::make();
    bool terminated = false;
    continuation.setOnTermination([&] { terminated = true; });
    const auto reader = harness.start(readOne(stream));
    reader.cancel();
    harness.executor.runUntilIdle();
    EXPECT_THROW(reader.result(), CancellationError);
    EXPECT_TRUE(terminated);
    continuation.yield(1);
    EXPECT_EQ(harness.run(readOne(stream)), std::nullopt);
}
