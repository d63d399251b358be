#include "onboarding/SlowPreviewService.h"

#include "bridge/HueError.h"

#include "TaskTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace std::chrono_literals;
using vantora::HueError;
using vantora::HueLight;
using vantora::HueSnapshot;
using vantora::HueXY;
using vantora::LightChange;
using vantora::SlowPreviewService;
using vantora::runtime::CancellationError;
using vantora::runtime::Duration;
using vantora::runtime::Task;
using vantora::runtime::TaskHandle;
using vantora::testing::TaskHarness;

namespace {

using Scenario = SlowPreviewService::Scenario;

template <typename T>
Task<void> ignoringResult(Task<T> task)
{
    co_await std::move(task);
}

HueLight light(const char *id, bool on, bool reachable = true)
{
    return HueLight{.id = QString::fromLatin1(id), .isOn = on, .isReachable = reachable};
}

// The pretend bridge's lights as a load returns them; empty when the load fails.
std::optional<HueSnapshot> load(TaskHarness &harness, SlowPreviewService &service)
{
    auto loading = harness.start(service.snapshot());
    harness.clock.advance(3s);
    try {
        return loading.result();
    } catch (const HueError &) {
        return std::nullopt;
    }
}

std::optional<HueError::Kind> failureOf(const TaskHandle<HueSnapshot> &loading)
{
    try {
        loading.result();
    } catch (const HueError &error) {
        return error.kind();
    }
    return std::nullopt;
}

// How long the task takes on the virtual clock: it must still wait 1 ns before.
void expectTakes(TaskHarness &harness, const TaskHandle<void> &task, Duration duration)
{
    harness.clock.advance(duration - 1ns);
    EXPECT_FALSE(task.isFinished());
    harness.clock.advance(1ns);
    EXPECT_TRUE(task.isFinished());
    EXPECT_NO_THROW(task.result());
}

} // namespace

TEST(SlowPreviewService, EveryOperationWaitsBeforeItAnswers)
{
    const struct {
        const char *name;
        std::function<Task<void>(SlowPreviewService &)> operation;
        Duration duration;
    } cases[] = {
        {"snapshot", [](SlowPreviewService &s) { return ignoringResult(s.snapshot()); }, 350ms},
        {"set light", [](SlowPreviewService &s) { return s.setLight(QStringLiteral("a"), true); }, 1s},
        {"update light", [](SlowPreviewService &s) { return s.updateLight(QStringLiteral("a"), LightChange{.brightness = 40.0}); }, 180ms},
        {"all off", [](SlowPreviewService &s) { return s.allOff(HueSnapshot{}); }, 1s},
        {"set power", [](SlowPreviewService &s) { return s.setPower(HueSnapshot{}, true); }, 1s},
        {"bridge info", [](SlowPreviewService &s) { return ignoringResult(s.bridgeInfo()); }, 350ms},
        {"pair", [](SlowPreviewService &s) { return ignoringResult(s.pair()); }, 1s},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        TaskHarness harness;
        SlowPreviewService service(Scenario{}, harness.clock, HueSnapshot{{light("a", false)}});
        expectTakes(harness, harness.start(row.operation(service)), row.duration);
    }
}

TEST(SlowPreviewService, FirstConnectionWaitsLongForTheFirstLoadOnly)
{
    TaskHarness harness;
    SlowPreviewService service(Scenario{.firstConnection = true}, harness.clock);

    auto pairing = harness.start(service.pair());
    harness.clock.advance(1s);
    ASSERT_TRUE(pairing.isFinished());
    EXPECT_EQ(pairing.result(), QStringLiteral("restored-sample-demo-key"));

    // Two loads started together both wait the long first-connection time.
    auto first = harness.start(service.snapshot());
    auto second = harness.start(service.snapshot());
    harness.clock.advance(2800ms - 1ns);
    EXPECT_FALSE(first.isFinished());
    EXPECT_FALSE(second.isFinished());
    harness.clock.advance(1ns);
    ASSERT_TRUE(first.isFinished() && second.isFinished());
    EXPECT_EQ(first.result().lights.size(), std::size_t(SlowPreviewService::sampleLightCount));
    EXPECT_EQ(first.result().allLightsGroupID, std::nullopt);

    expectTakes(harness, harness.start(ignoringResult(service.snapshot())), 350ms);
}

TEST(SlowPreviewService, ScriptedFailuresEndAsTheScenarioSays)
{
    enum class Step { load, pair };
    using Kind = HueError::Kind;
    const struct {
        const char *name;
        Scenario scenario;
        std::vector<Step> steps;
        // One entry per load: the failure it ends with, or none.
        std::vector<std::optional<Kind>> loads;
    } cases[] = {
        {"expired key until pairing", {.expiredKey = true},
         {Step::load, Step::load, Step::pair, Step::load}, {Kind::unauthorized, Kind::unauthorized, std::nullopt}},
        {"one initial error", {.initialError = true}, {Step::load, Step::load}, {Kind::invalidResponse, std::nullopt}},
        {"the initial error waits for a working key", {.initialError = true, .expiredKey = true},
         {Step::load, Step::pair, Step::load, Step::load}, {Kind::unauthorized, Kind::invalidResponse, std::nullopt}},
        {"the first connection fails too", {.initialError = true, .firstConnection = true},
         {Step::load, Step::load}, {Kind::invalidResponse, std::nullopt}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        TaskHarness harness;
        SlowPreviewService service(row.scenario, harness.clock);
        std::vector<std::optional<Kind>> loads;
        for (const Step step : row.steps) {
            if (step == Step::pair) {
                auto pairing = harness.start(service.pair());
                harness.clock.advance(1s);
                EXPECT_TRUE(pairing.isFinished());
                continue;
            }
            auto loading = harness.start(service.snapshot());
            harness.clock.advance(3s);
            EXPECT_TRUE(loading.isFinished());
            loads.push_back(failureOf(loading));
        }
        EXPECT_EQ(loads, row.loads);
    }
}

TEST(SlowPreviewService, ACancelledWaitChangesNothing)
{
    TaskHarness harness;
    SlowPreviewService service(Scenario{.expiredKey = true, .firstConnection = true}, harness.clock);

    auto loading = harness.start(service.snapshot());
    harness.clock.advance(1s);
    loading.cancel();
    harness.executor.runUntilIdle();
    EXPECT_THROW(loading.result(), CancellationError);

    auto pairing = harness.start(service.pair());
    harness.clock.advance(500ms);
    pairing.cancel();
    harness.executor.runUntilIdle();
    EXPECT_THROW(pairing.result(), CancellationError);

    // Still the first connection, and the key is still expired.
    auto next = harness.start(service.snapshot());
    harness.clock.advance(2800ms - 1ns);
    EXPECT_FALSE(next.isFinished());
    harness.clock.advance(1ns);
    ASSERT_TRUE(next.isFinished());
    EXPECT_EQ(failureOf(next), HueError::Kind::unauthorized);
}

TEST(SlowPreviewService, SwitchingReachesOnlyReachableLightsAndComesBackInLaterLoads)
{
    const std::vector<HueLight> lights{light("a", true), light("b", true, false), light("c", false)};
    const struct {
        const char *name;
        std::function<Task<void>(SlowPreviewService &)> operation;
        std::vector<bool> isOn;
    } cases[] = {
        // The caller's view of reachability decides, not the pretend bridge's.
        {"power on by the given snapshot",
         [](SlowPreviewService &s) {
             return s.setPower(HueSnapshot{{light("a", false), light("c", false, false), light("unknown", false)},
                                           QStringLiteral("group")},
                               true);
         },
         {true, true, false}},
        {"power off", [&lights](SlowPreviewService &s) { return s.setPower(HueSnapshot{lights}, false); },
         {false, true, false}},
        {"all off ignores its snapshot", [](SlowPreviewService &s) { return s.allOff(HueSnapshot{}); },
         {false, true, false}},
        {"one light", [](SlowPreviewService &s) { return s.setLight(QStringLiteral("c"), true); }, {true, true, true}},
        {"an unknown light", [](SlowPreviewService &s) { return s.setLight(QStringLiteral("x"), false); },
         {true, true, false}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        TaskHarness harness;
        SlowPreviewService service(Scenario{}, harness.clock, HueSnapshot{lights});
        auto change = harness.start(row.operation(service));
        harness.clock.advance(1s);
        ASSERT_TRUE(change.isFinished());
        EXPECT_NO_THROW(change.result());

        const auto loaded = load(harness, service);
        ASSERT_TRUE(loaded);
        std::vector<bool> isOn;
        for (const HueLight &each : loaded->lights)
            isOn.push_back(each.isOn);
        EXPECT_EQ(isOn, row.isOn);
    }
}

TEST(SlowPreviewService, ALightChangeIsTakenAsItIs)
{
    const HueXY colour{0.3, 0.4};
    const HueLight before{.id = QStringLiteral("a"), .name = QStringLiteral("Lamp"), .isReachable = true,
                          .brightness = 50.0, .temperature = 300, .temperatureIsActive = false};
    const struct {
        const char *name;
        LightChange change;
        HueLight expected;
    } cases[] = {
        {"colour and temperature end on the temperature",
         {.color = colour, .temperature = 600},
         {.id = "a", .name = "Lamp", .isReachable = true, .brightness = 50.0, .color = colour, .temperature = 600,
          .temperatureIsActive = true}},
        {"brightness beyond 100 and a switch",
         {.on = true, .brightness = 140.0},
         {.id = "a", .name = "Lamp", .isOn = true, .isReachable = true, .brightness = 140.0, .temperature = 300}},
        {"a colour leaves the temperature inactive",
         {.color = colour},
         {.id = "a", .name = "Lamp", .isReachable = true, .brightness = 50.0, .color = colour, .temperature = 300}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        TaskHarness harness;
        SlowPreviewService service(Scenario{}, harness.clock, HueSnapshot{{before}});
        auto change = harness.start(service.updateLight(QStringLiteral("a"), row.change));
        auto unknown = harness.start(service.updateLight(QStringLiteral("x"), row.change));
        harness.clock.advance(180ms);
        ASSERT_TRUE(change.isFinished() && unknown.isFinished());
        EXPECT_NO_THROW(unknown.result());

        const auto loaded = load(harness, service);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->lights, std::vector<HueLight>{row.expected});
    }
}

TEST(SlowPreviewService, ThePretendBridgeIsTheOneTheSampleConnectionAndSearchName)
{
    TaskHarness harness;
    SlowPreviewService service(Scenario{}, harness.clock);
    auto info = harness.start(service.bridgeInfo());
    harness.clock.advance(1s);
    ASSERT_TRUE(info.isFinished());

    const auto connection = SlowPreviewService::sampleConnection();
    const auto discovered = SlowPreviewService::sampleDiscoveredBridge();
    const vantora::BridgeInfo expectedInfo{.bridgeid = connection.bridgeID, .name = connection.name};
    EXPECT_EQ(info.result(), expectedInfo);
    EXPECT_EQ(discovered.id, connection.bridgeID);
    EXPECT_EQ(discovered.name, connection.name);
    EXPECT_EQ(discovered.address, connection.address.host);
}
