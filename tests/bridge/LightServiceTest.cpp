#include "bridge/HueError.h"
#include "bridge/LightService.h"

#include "TaskTesting.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace std::chrono_literals;
using vantora::HueError;
using vantora::HueLight;
using vantora::HueSnapshot;
using vantora::LightChange;
using vantora::runtime::CancellationError;
using vantora::runtime::Task;
using vantora::testing::TaskHarness;

namespace {

// Switches lights only; each light id can be given an error to fail with, and every call
// is recorded with the virtual time at which it was made.
class SwitchOnlyService final : public vantora::LightService {
public:
    explicit SwitchOnlyService(vantora::runtime::VirtualClock &clock) : LightService(clock), m_clock(clock) {}

    struct Call {
        QString id;
        bool on;
        std::chrono::nanoseconds at;
    };

    std::map<QString, std::exception_ptr> failures;
    std::vector<Call> calls;

    Task<HueSnapshot> snapshot() override { co_return HueSnapshot{}; }
    Task<void> allOff(HueSnapshot) override { co_return; }

    Task<void> setLight(QString id, bool on) override
    {
        calls.push_back({id, on, m_clock.steadyNow() - m_origin});
        co_await m_clock.sleepFor(30ms); // the request's own duration
        if (auto it = failures.find(id); it != failures.end())
            std::rethrow_exception(it->second);
    }

private:
    vantora::runtime::VirtualClock &m_clock;
    vantora::runtime::SteadyTime m_origin = m_clock.steadyNow();
};

HueLight light(const char *id, bool reachable = true)
{
    HueLight result;
    result.id = QString::fromLatin1(id);
    result.isReachable = reachable;
    return result;
}

std::vector<QString> idsOf(const std::vector<SwitchOnlyService::Call> &calls)
{
    std::vector<QString> ids;
    for (const auto &call : calls)
        ids.push_back(call.id);
    return ids;
}

// The message of the HueError::api the task ended with.
template <typename T>
std::string apiMessageOf(const vantora::runtime::TaskHandle<T> &handle)
{
    try {
        handle.result();
    } catch (const HueError &error) {
        return error.apiMessage().value_or(QStringLiteral("not an api error")).toStdString();
    }
    return "no HueError";
}

} // namespace

TEST(LightsPower, FailuresAreCountedAndEveryAttemptIsFollowedByAPauseFromItsEnd)
{
    TaskHarness harness;
    SwitchOnlyService service(harness.clock);
    service.failures[QStringLiteral("b")] = std::make_exception_ptr(HueError::http(500));

    auto run = harness.start(service.setLightsPower({light("a"), light("x", false), light("b"), light("c")}, true));
    harness.clock.advance(10s);

    ASSERT_TRUE(run.isFinished());
    EXPECT_EQ(apiMessageOf(run), "1 lights couldn’t be switched on. Try again.");
    EXPECT_EQ(idsOf(service.calls), (std::vector<QString>{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    // 30 ms request + 120 ms pause per light, the last one included.
    EXPECT_EQ(service.calls[1].at, 150ms);
    EXPECT_EQ(service.calls[2].at, 300ms);
}

TEST(LightsPower, LastLightIsFollowedByThePauseToo)
{
    TaskHarness harness;
    SwitchOnlyService service(harness.clock);
    auto run = harness.start(service.setLightsPower({light("a")}, false));
    harness.clock.advance(149ms);
    EXPECT_FALSE(run.isFinished());
    harness.clock.advance(1ms);
    EXPECT_TRUE(run.isFinished());
    EXPECT_NO_THROW(run.result());
}

TEST(LightsPower, RefusedKeyOrChangedIdentityEndsTheRunAtOnce)
{
    for (const HueError &stopper : {HueError::unauthorized(), HueError::bridgeIdentityChanged()}) {
        SCOPED_TRACE(stopper.what());
        TaskHarness harness;
        SwitchOnlyService service(harness.clock);
        service.failures[QStringLiteral("a")] = std::make_exception_ptr(stopper);
        auto run = harness.start(service.setLightsPower({light("a"), light("b")}, true));
        harness.clock.advance(10s);
        ASSERT_TRUE(run.isFinished());
        EXPECT_EQ(service.calls.size(), 1u);
        try {
            run.result();
            ADD_FAILURE() << "expected the error";
        } catch (const HueError &error) {
            EXPECT_EQ(error, stopper);
        }
    }
}

TEST(LightsPower, NoReachableLightMeansNoCallAndNoPause)
{
    TaskHarness harness;
    SwitchOnlyService service(harness.clock);
    auto run = harness.start(service.setLightsPower({light("a", false)}, true));
    EXPECT_TRUE(run.isFinished());
    EXPECT_TRUE(service.calls.empty());
    EXPECT_EQ(harness.clock.sleeperCount(), 0u);
}

TEST(LightsPower, CancellingDuringAPauseSendsNothingMore)
{
    TaskHarness harness;
    SwitchOnlyService service(harness.clock);
    auto run = harness.start(service.setLightsPower({light("a"), light("b")}, true));
    harness.clock.advance(100ms); // inside the pause after "a"
    run.cancel();
    harness.clock.advance(10s);
    EXPECT_THROW(run.result(), CancellationError);
    EXPECT_EQ(service.calls.size(), 1u);
}

TEST(LightServiceDefaults, OnlyASwitchIsSupportedAndSetPowerGoesLightByLight)
{
    TaskHarness harness;
    SwitchOnlyService service(harness.clock);

    auto switchOnly = harness.start(service.updateLight(QStringLiteral("a"), LightChange{.on = true}));
    harness.clock.advance(1s);
    EXPECT_NO_THROW(switchOnly.result());
    ASSERT_EQ(service.calls.size(), 1u);
    EXPECT_TRUE(service.calls[0].on);

    for (const LightChange &change : {LightChange{.on = true, .brightness = 50.0}, LightChange{}}) {
        auto refused = harness.start(service.updateLight(QStringLiteral("a"), change));
        EXPECT_EQ(apiMessageOf(refused), "This service doesn’t support light adjustments.");
    }
    EXPECT_EQ(service.calls.size(), 1u);

    HueSnapshot snapshot;
    snapshot.lights = {light("a"), light("b")};
    snapshot.allLightsGroupID = QStringLiteral("group");
    auto power = harness.start(service.setPower(snapshot, false));
    harness.clock.advance(1s);
    EXPECT_NO_THROW(power.result());
    EXPECT_EQ(service.calls.size(), 3u);
}
