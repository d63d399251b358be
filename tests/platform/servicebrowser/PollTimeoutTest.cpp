#include "EventLoopTesting.h"
#include "platform/avahi/PollTimeout.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

using namespace std::chrono_literals;
using vantora::platform::PollTimeout;
using vantora::runtime::WallTime;
using vantora::testing::waitForEvents;

namespace {

WallTime now()
{
    return std::chrono::system_clock::now();
}

// A time-out already due, started after the one under test: once it has fired, any
// time-out that was due too has had its turn.
struct Control {
    int calls = 0;
    PollTimeout timeout{[this] { ++calls; }};
    Control() { timeout.setDeadline(now() - 1s); }
};

} // namespace

TEST(PollTimeout, FiresOnceOnALaterTurnWhenDueAndNeverWhenFarOff)
{
    struct Row {
        std::string name;
        std::optional<WallTime> deadline;
        int expectedCalls;
    };
    const Row rows[] = {
        {"a passed deadline fires", now() - 10s, 1},
        {"a deadline of now fires", now(), 1},
        {"the earliest representable deadline fires", WallTime::min(), 1},
        {"a far deadline does not fire yet", now() + 1h, 0},
        {"the latest representable deadline does not fire yet", WallTime::max(), 0},
        {"no deadline does not fire", std::nullopt, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        int calls = 0;
        PollTimeout timeout([&calls] { ++calls; });
        timeout.setDeadline(row.deadline);
        EXPECT_EQ(calls, 0) << "fired inside setDeadline";
        EXPECT_EQ(timeout.isArmed(), row.deadline.has_value());

        Control control;
        ASSERT_TRUE(waitForEvents([&] { return control.calls > 0; }, 5s));
        EXPECT_EQ(calls, row.expectedCalls);
        EXPECT_EQ(timeout.isArmed(), row.deadline.has_value() && row.expectedCalls == 0);

        Control second;
        ASSERT_TRUE(waitForEvents([&] { return second.calls > 0; }, 5s));
        EXPECT_EQ(calls, row.expectedCalls) << "fired again without a new deadline";
    }
}

TEST(PollTimeout, DisarmingBeforeTheDeadlineCancelsTheWakeUp)
{
    int calls = 0;
    PollTimeout timeout([&calls] { ++calls; });
    timeout.setDeadline(now() - 1s);
    timeout.setDeadline(std::nullopt);
    EXPECT_FALSE(timeout.isArmed());

    Control control;
    ASSERT_TRUE(waitForEvents([&] { return control.calls > 0; }, 5s));
    EXPECT_EQ(calls, 0);
}

TEST(PollTimeout, ACallbackMayRearmOrDeleteItsTimeout)
{
    int calls = 0;
    std::unique_ptr<PollTimeout> timeout;
    timeout = std::make_unique<PollTimeout>([&] {
        if (++calls == 1)
            timeout->setDeadline(now() - 1s);
        else
            timeout.reset();
    });
    timeout->setDeadline(now() - 1s);

    ASSERT_TRUE(waitForEvents([&] { return !timeout; }, 5s));
    EXPECT_EQ(calls, 2);
}
