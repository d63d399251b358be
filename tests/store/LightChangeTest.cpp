#include "StoreRig.h"
#include "StoreUnitBench.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using runtime::NetworkError;
using runtime::NetworkErrorCode;
using Request = ScriptedLightService::Request;

// The demonstration home: light "1" takes colour and temperature, "2" temperature, "3" is
// off, "4" only dims and "5" cannot be reached.
HalvetStore &buildWithHome(StoreRig &rig)
{
    return rig.buildConnected(HueSnapshot::demo());
}

void connectWithHome(StoreUnitBench &bench)
{
    bench.state.connection.set(sampleConnection());
    bench.state.snapshot.setAlways(HueSnapshot::demo());
}

const HueLight &lightOf(const HueSnapshot &snapshot, const char *id)
{
    return lightWithID(snapshot, QString::fromLatin1(id));
}

std::vector<Request> lightUpdates(const ScriptedLightService &service)
{
    std::vector<Request> updates;
    std::copy_if(service.requests.begin(), service.requests.end(), std::back_inserter(updates),
                 [](const Request &request) { return request.kind == Request::Kind::updateLight; });
    return updates;
}

const ScriptedLightService::Done done{};

TEST(LightChanges, ChangesAskedForDuringARequestGoOutAsOneRequestForTheNewestAfterThePause)
{
    StoreRig rig;
    HalvetStore &store = buildWithHome(rig);
    rig.lights->answerTime = 100ms;
    const HueLight light = lightOf(store.snapshot(), "1");
    const runtime::SteadyTime start = rig.harness.clock.steadyNow();

    auto first = rig.start(store.updateLight(light, {.brightness = 20}));
    std::vector<runtime::TaskHandle<void>> waiting;
    for (const double brightness : {30.0, 40.0, 50.0})
        waiting.push_back(rig.start(store.updateLight(light, {.brightness = brightness})));
    EXPECT_EQ(store.updatingLightIDs(), QSet<QString>{QStringLiteral("1")});
    rig.harness.clock.advance(349ms);
    EXPECT_EQ(lightUpdates(*rig.lights).size(), 1u) << "still resting after the first answer";
    EXPECT_FALSE(first.isFinished());
    rig.harness.clock.advance(2s);

    const std::vector<Request> updates = lightUpdates(*rig.lights);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[1].change, LightChange{.brightness = 50});
    EXPECT_EQ(updates[1].at - start, 100ms + LightWorkers::adjustmentPause);
    EXPECT_EQ(lightOf(store.snapshot(), "1").brightness, 50);
    EXPECT_TRUE(store.updatingLightIDs().isEmpty());
    EXPECT_TRUE(first.isFinished());
    for (const auto &joined : waiting)
        EXPECT_TRUE(joined.isFinished()) << "every caller waited for the same worker";
}

TEST(LightChanges, ADraggedSliderOnASlowBridgeCostsAFewRequestsEndingWithTheFinalValue)
{
    StoreRig rig;
    HalvetStore &store = buildWithHome(rig);
    rig.lights->answerTime = 300ms;
    const HueLight light = lightOf(store.snapshot(), "1");

    constexpr int steps = 60;
    for (int step = 0; step < steps; ++step) {
        store.apply({.brightness = 20.0 + step}, light);
        rig.harness.clock.advance(16ms);
    }
    rig.harness.clock.advance(5s);

    const std::vector<Request> updates = lightUpdates(*rig.lights);
    ASSERT_FALSE(updates.empty());
    EXPECT_LE(updates.size(), 6u);
    EXPECT_EQ(updates.back().change, LightChange{.brightness = 20.0 + steps - 1});
    for (std::size_t index = 1; index < updates.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_GE(updates[index].at - updates[index - 1].at, 300ms + LightWorkers::adjustmentPause)
            << "one request at a time, each after the previous answer and the pause";
    }
    EXPECT_EQ(lightOf(store.snapshot(), "1").brightness, 20.0 + steps - 1);
}

TEST(LightChanges, AWaitingChangeMergesWithANewerOne)
{
    const HueXY colour = *lightOf(HueSnapshot::demo(), "1").color;
    struct Row {
        const char *name;
        LightChange waiting;
        LightChange newer;
        LightChange sent;
        bool temperatureIsActive;
    };
    const Row rows[] = {
        {"a colour, then a temperature", {.color = colour}, {.temperature = 300}, {.temperature = 300}, true},
        {"a temperature, then a colour", {.temperature = 300}, {.color = colour}, {.color = colour}, false},
        {"switching on, then a brightness", {.on = true}, {.brightness = 40}, {.on = true, .brightness = 40}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = buildWithHome(rig);
        const HueLight light = lightOf(store.snapshot(), "1");
        auto inFlight = rig.lights->lightUpdates.thenWait();
        store.apply({.brightness = 10}, light);
        rig.harness.executor.runUntilIdle();

        store.apply(row.waiting, light);
        store.apply(row.newer, light);
        inFlight->open(done);
        rig.harness.clock.advance(1s);

        const std::vector<Request> updates = lightUpdates(*rig.lights);
        ASSERT_EQ(updates.size(), 2u);
        EXPECT_EQ(updates[1].change, row.sent);
        EXPECT_EQ(lightOf(store.snapshot(), "1").temperatureIsActive, row.temperatureIsActive);
    }
}

TEST(LightChanges, OnlyAdjustmentsArePacedWhetherTheyWorkedOrNot)
{
    struct Row {
        const char *name;
        LightChange first;
        std::exception_ptr failure;
        runtime::Duration pause;
    };
    const auto bridgeError = std::make_exception_ptr(HueError::http(500));
    const Row rows[] = {
        {"after switching", {.on = false}, nullptr, 0ms},
        {"after a failed switch", {.on = false}, bridgeError, 0ms},
        {"after a brightness", {.brightness = 30}, nullptr, LightWorkers::adjustmentPause},
        {"after a failed brightness", {.brightness = 30}, bridgeError, LightWorkers::adjustmentPause},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = buildWithHome(rig);
        const HueLight light = lightOf(store.snapshot(), "1");
        auto inFlight = rig.lights->lightUpdates.thenWait();
        store.apply(row.first, light);
        rig.harness.executor.runUntilIdle();
        store.apply({.on = true}, light);
        rig.harness.clock.advance(1s);

        const runtime::SteadyTime answered = rig.harness.clock.steadyNow();
        if (row.failure)
            inFlight->fail(row.failure);
        else
            inFlight->open(done);
        rig.harness.clock.advance(1s);

        const std::vector<Request> updates = lightUpdates(*rig.lights);
        ASSERT_EQ(updates.size(), 2u);
        EXPECT_EQ(updates[1].change, LightChange{.on = true});
        EXPECT_EQ(updates[1].at - answered, row.pause);
    }
}

TEST(LightChanges, AFailedRequestIsRecordedWithItsChangeAndOnlyALostConnectionEndsTheWorker)
{
    struct Row {
        const char *name;
        LightChange change;
        std::exception_ptr failure;
        bool sendsTheWaitingChange;
        std::optional<AppIssue::Operation> issueOperation;
    };
    const Row rows[] = {
        {"a connectivity failure", {.brightness = 30}, std::make_exception_ptr(NetworkError(NetworkErrorCode::timedOut)),
         false, std::nullopt},
        {"a bridge error", {.brightness = 30}, std::make_exception_ptr(HueError::http(500)), true, std::nullopt},
        {"an unexpected failure of a switch", {.on = false}, std::make_exception_ptr(std::runtime_error("switch")), true,
         AppIssue::Operation::toggle},
        {"an unexpected failure of an adjustment", {.brightness = 30},
         std::make_exception_ptr(std::runtime_error("adjust")), true, AppIssue::Operation::adjustLight},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = buildWithHome(rig);
        const HueLight light = lightOf(store.snapshot(), "1");
        auto inFlight = rig.lights->lightUpdates.thenWait();
        auto next = rig.lights->lightUpdates.thenWait();
        auto worker = store.apply(row.change, light);
        rig.harness.executor.runUntilIdle();
        store.apply({.brightness = 80}, light);

        inFlight->fail(row.failure);
        rig.harness.clock.advance(1s);

        EXPECT_EQ(store.failedLightID(), QStringLiteral("1"));
        EXPECT_EQ(store.failedLightChange(), row.change) << "kept for trying again";
        EXPECT_TRUE(store.errorMessage());
        EXPECT_EQ(store.unexpectedIssue() ? std::optional(store.unexpectedIssue()->operation) : std::nullopt,
                  row.issueOperation);
        EXPECT_EQ(store.needsConnectionRecovery(), !row.sendsTheWaitingChange);
        EXPECT_EQ(next->hasWaitingCall(), row.sendsTheWaitingChange);
        ASSERT_TRUE(worker);
        EXPECT_EQ(worker->isFinished(), !row.sendsTheWaitingChange);
        if (!row.sendsTheWaitingChange) {
            EXPECT_EQ(lightUpdates(*rig.lights).size(), 1u) << "the waiting change was dropped";
            EXPECT_TRUE(store.updatingLightIDs().isEmpty());
        }
    }
}

TEST(LightChanges, RefusedChangesChangeNothing)
{
    struct Row {
        const char *name;
        std::function<void(StoreState &)> arrange;
        const char *lightID;
        LightChange change;
    };
    const Row rows[] = {
        {"while a power change runs", [](StoreState &state) { state.isChangingPower.set(true); }, "1", {.on = false}},
        {"during connection work", [](StoreState &state) { state.isManagingConnection.set(true); }, "1", {.on = false}},
        {"while the connection needs recovery", [](StoreState &state) { state.needsConnectionRecovery.set(true); }, "1",
         {.on = false}},
        {"without a connection", [](StoreState &state) { state.connection.set(std::nullopt); }, "1", {.on = false}},
        {"a light out of reach", [](StoreState &) {}, "5", {.on = true}},
        {"a light the snapshot lacks", [](StoreState &) {}, "99", {.on = true}},
        {"an empty change", [](StoreState &) {}, "1", {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreUnitBench bench;
        connectWithHome(bench);
        row.arrange(bench.state);
        const qint64 revision = bench.state.revision;

        const auto worker = bench.workers.apply(row.change, QString::fromLatin1(row.lightID));
        bench.harness.executor.runUntilIdle();

        EXPECT_FALSE(worker);
        EXPECT_TRUE(bench.lights->requests.empty());
        EXPECT_EQ(bench.state.revision, revision);
        EXPECT_TRUE(bench.state.updatingLightIDs->isEmpty());
        EXPECT_FALSE(bench.state.errorMessage->has_value());
        EXPECT_EQ(bench.state.snapshot.get(), HueSnapshot::demo());
    }
}

TEST(LightChanges, AChangeTheLightCannotTakeIsRecordedWithoutARequest)
{
    StoreUnitBench bench;
    connectWithHome(bench);

    const auto worker = bench.workers.apply({.color = HueXY{0.3, 0.3}}, QStringLiteral("4"));
    bench.harness.executor.runUntilIdle();

    EXPECT_FALSE(worker);
    EXPECT_TRUE(bench.lights->requests.empty());
    EXPECT_EQ(bench.state.failedLightID.get(), QStringLiteral("4"));
    EXPECT_FALSE(bench.state.failedLightChange->has_value()) << "there is nothing to try again";
    EXPECT_TRUE(bench.state.errorMessage->has_value());
}

TEST(LightChanges, ARefreshInFlightTakesTheChangeAndDropsItsOwnAnswer)
{
    StoreRig rig;
    HalvetStore &store = buildWithHome(rig);
    auto staleAnswer = rig.lights->snapshots.thenWait();
    rig.start(store.refresh());
    ASSERT_TRUE(store.isRefreshing());

    const auto worker = store.apply({.brightness = 30}, lightOf(store.snapshot(), "1"));
    ASSERT_TRUE(worker) << "a refresh does not hold light changes back";
    HueSnapshot before = HueSnapshot::demo();
    before.lights[0].name = QStringLiteral("Read before the change");
    staleAnswer->open(before);
    rig.harness.clock.advance(1s);

    EXPECT_EQ(lightOf(store.snapshot(), "1").name, HueSnapshot::demo().lights[0].name);
    EXPECT_EQ(lightOf(store.snapshot(), "1").brightness, 30);
    EXPECT_FALSE(store.isRefreshing());
}

TEST(LightChanges, ASuccessKeepsAFailureRecordedDuringItsRequest)
{
    StoreRig rig;
    HalvetStore &store = buildWithHome(rig);
    auto inFlight = rig.lights->lightUpdates.thenWait();
    store.apply({.on = false}, lightOf(store.snapshot(), "1"));
    rig.harness.executor.runUntilIdle();

    store.recordFailure(std::make_exception_ptr(HueError::http(500)), AppIssue::Operation::toggle,
                        QStringLiteral("2"));
    inFlight->open(done);
    rig.harness.executor.runUntilIdle();

    EXPECT_FALSE(lightOf(store.snapshot(), "1").isOn);
    EXPECT_EQ(store.failedLightID(), QStringLiteral("2"));
    EXPECT_EQ(store.errorMessage(), HueError::http(500).errorDescription());
}

TEST(LightChanges, AWorkerWhoseChangeWasDroppedBeforeItStartedSendsNothing)
{
    StoreUnitBench bench;
    connectWithHome(bench);
    const qint64 revision = bench.state.revision;
    const auto worker = bench.workers.apply({.brightness = 30}, QStringLiteral("1"));
    ASSERT_TRUE(worker);
    EXPECT_EQ(bench.state.updatingLightIDs.get(), QSet<QString>{QStringLiteral("1")});

    bench.workers.dropWaitingChanges({QStringLiteral("1")});
    bench.harness.executor.runUntilIdle();

    EXPECT_TRUE(worker->isFinished());
    EXPECT_TRUE(bench.lights->requests.empty());
    EXPECT_TRUE(bench.state.updatingLightIDs->isEmpty());
    EXPECT_EQ(bench.state.revision, revision + 2) << "a worker's start and end both count as local changes";
}

} // namespace
} // namespace vantora::testing
