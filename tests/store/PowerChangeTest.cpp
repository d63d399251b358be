#include "StoreRig.h"
#include "StoreSignalLog.h"
#include "StoreUnitBench.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using runtime::NetworkError;
using runtime::NetworkErrorCode;
using Request = ScriptedLightService::Request;

const ScriptedLightService::Done done{};

// The demonstration home with a grouped light for the whole home and a garden whose one
// light cannot be reached. Living room: "1" and "2", on. Kitchen: "3", off. Bedroom: "4",
// on, and "5", out of reach.
HueSnapshot home()
{
    HueSnapshot snapshot = HueSnapshot::demo();
    snapshot.allLightsGroupID = QStringLiteral("group-home");
    snapshot.lights.push_back(HueLight{.id = QStringLiteral("6"), .name = QStringLiteral("Path light"),
                                       .roomID = QStringLiteral("garden"), .roomName = QStringLiteral("Garden"),
                                       .isOn = true, .isReachable = false, .brightness = 40});
    return snapshot;
}

// What the bridge says after a power change: any home other than the one before.
HueSnapshot reloadedHome()
{
    return HueSnapshot::sample(3);
}

const HueLight &lightOf(const HueSnapshot &snapshot, const char *id)
{
    return lightWithID(snapshot, QString::fromLatin1(id));
}

std::vector<QString> idsOf(const HueSnapshot &snapshot)
{
    std::vector<QString> ids;
    for (const HueLight &light : snapshot.lights)
        ids.push_back(light.id);
    return ids;
}

TEST(PowerChange, RefusedChangesSendNothingAndChangeNothing)
{
    struct Row {
        const char *name;
        std::function<void(StoreState &)> arrange;
        std::optional<QString> roomID;
    };
    const Row rows[] = {
        {"a room whose lights are all out of reach", [](StoreState &) {}, QStringLiteral("garden")},
        {"a room the snapshot lacks", [](StoreState &) {}, QStringLiteral("attic")},
        {"while another power change runs", [](StoreState &state) { state.isChangingPower.set(true); }, std::nullopt},
        {"during connection work", [](StoreState &state) { state.isManagingConnection.set(true); }, std::nullopt},
        {"while the connection needs recovery", [](StoreState &state) { state.needsConnectionRecovery.set(true); },
         std::nullopt},
        {"without a connection", [](StoreState &state) { state.connection.set(std::nullopt); }, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreUnitBench bench;
        bench.state.connection.set(sampleConnection());
        bench.state.snapshot.setAlways(home());
        row.arrange(bench.state);
        const bool wasChangingPower = bench.state.isChangingPower.get();
        const qint64 revision = bench.state.revision;

        bench.start(bench.power.setPower(row.roomID, false));

        EXPECT_TRUE(bench.lights->connectionsServed.empty());
        EXPECT_EQ(bench.state.snapshot.get(), home());
        EXPECT_EQ(bench.state.revision, revision);
        EXPECT_EQ(bench.state.isChangingPower.get(), wasChangingPower);
        EXPECT_FALSE(bench.state.notice->has_value());
    }
}

TEST(PowerChange, SendsOneRequestShowsItReloadsAndTellsOfLightsOutOfReach)
{
    struct Row {
        const char *name;
        std::optional<QString> roomID;
        bool on;
        Request::Kind request;
        std::vector<QString> sentLights;
        std::optional<QString> sentGroup;
        std::vector<const char *> switched;
        bool tellsOfUnreachableLights;
    };
    const std::vector<QString> everyLight = idsOf(home());
    const Row rows[] = {
        {"all lights off", std::nullopt, false, Request::Kind::allOff, everyLight, QStringLiteral("group-home"),
         {"1", "2", "3", "4"}, true},
        {"all lights on", std::nullopt, true, Request::Kind::setPower, everyLight, QStringLiteral("group-home"),
         {"1", "2", "3", "4"}, true},
        {"a room on", QStringLiteral("kitchen"), true, Request::Kind::setPower, {QStringLiteral("3")}, std::nullopt,
         {"3"}, false},
        {"a room with a light out of reach off", QStringLiteral("bedroom"), false, Request::Kind::setPower,
         {QStringLiteral("4"), QStringLiteral("5")}, std::nullopt, {"4"}, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = rig.buildConnected(home());
        store.setNotice(QStringLiteral("An earlier notice"));
        auto reload = rig.lights->snapshots.thenWait();

        auto change = rig.start(store.setPower(row.roomID, row.on));

        ASSERT_EQ(rig.lights->requests.size(), 3u) << "the first refresh, the request and the reload";
        const Request &sent = rig.lights->requests[1];
        EXPECT_EQ(sent.kind, row.request);
        EXPECT_EQ(idsOf(*sent.lights), row.sentLights);
        EXPECT_EQ(sent.lights->allLightsGroupID, row.sentGroup);
        if (row.request == Request::Kind::setPower) {
            EXPECT_EQ(sent.on, row.on);
        }
        for (const HueLight &light : store.snapshot().lights) {
            SCOPED_TRACE(light.id.toStdString());
            const bool switched = std::any_of(row.switched.begin(), row.switched.end(),
                                              [&light](const char *id) { return light.id == QLatin1String(id); });
            EXPECT_EQ(light.isOn, switched ? row.on : lightOf(home(), qPrintable(light.id)).isOn);
        }
        EXPECT_TRUE(store.isChangingPower()) << "until the lights are read back";
        EXPECT_FALSE(store.notice());

        rig.harness.clock.advance(1s);
        reload->open(reloadedHome());
        rig.harness.executor.runUntilIdle();

        EXPECT_TRUE(change.isFinished());
        EXPECT_EQ(store.snapshot(), reloadedHome());
        EXPECT_EQ(store.lastUpdated(), rig.harness.clock.wallNow());
        EXPECT_FALSE(store.isChangingPower());
        EXPECT_EQ(store.notice(), row.tellsOfUnreachableLights ? std::optional(PowerSwitching::unavailableLightsNotice())
                                                               : std::nullopt);
    }
}

TEST(PowerChange, AFailedRequestReloadsOnceAndIsRecordedForItsOperation)
{
    struct Row {
        const char *name;
        std::optional<QString> roomID;
        bool on;
        std::exception_ptr failure;
        std::optional<AppIssue::Operation> issueOperation;
    };
    const auto unexpected = std::make_exception_ptr(std::runtime_error("power"));
    const Row rows[] = {
        {"all lights off, bridge out of reach", std::nullopt, false,
         std::make_exception_ptr(NetworkError(NetworkErrorCode::timedOut)), std::nullopt},
        {"all lights off", std::nullopt, false, unexpected, AppIssue::Operation::allOff},
        {"all lights on", std::nullopt, true, unexpected, AppIssue::Operation::allOn},
        {"a room", QStringLiteral("bedroom"), true, unexpected, AppIssue::Operation::roomPower},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = rig.buildConnected(home());
        rig.lights->allOffRequests.thenFail(row.failure);
        rig.lights->powerRequests.thenFail(row.failure);
        rig.lights->snapshots.thenReturn(reloadedHome());

        auto change = rig.start(store.setPower(row.roomID, row.on));

        EXPECT_TRUE(change.isFinished());
        EXPECT_EQ(rig.lights->connectionsServed.size(), 3u) << "the refresh, the request, a fresh one for the reload";
        EXPECT_EQ(store.snapshot(), reloadedHome());
        EXPECT_TRUE(store.errorMessage());
        EXPECT_EQ(store.unexpectedIssue() ? std::optional(store.unexpectedIssue()->operation) : std::nullopt,
                  row.issueOperation);
        EXPECT_EQ(store.needsConnectionRecovery(), !row.issueOperation);
        EXPECT_FALSE(store.isChangingPower());
        EXPECT_FALSE(store.notice()) << "lights out of reach are not told of after a failure";
    }
}

TEST(PowerChange, AFailedReloadIsRecordedAndTheSwitchedLightsStay)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(home());
    rig.lights->snapshots.alwaysFail(std::runtime_error("reload"));

    rig.start(store.allOff());

    EXPECT_FALSE(lightOf(store.snapshot(), "1").isOn);
    EXPECT_FALSE(lightOf(store.snapshot(), "4").isOn);
    ASSERT_TRUE(store.unexpectedIssue());
    EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::allOff);
    EXPECT_EQ(rig.lights->count(Request::Kind::snapshot), 3) << "the refresh, the reload and one more";
    EXPECT_FALSE(store.isChangingPower());
}

TEST(PowerChange, WaitsForALightRequestInFlightAndDropsTheChangeWaitingBehindIt)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(home());
    rig.lights->snapshots.alwaysReturn(reloadedHome());
    const HueLight light = lightOf(store.snapshot(), "1");
    auto inFlight = rig.lights->lightUpdates.thenWait();
    store.apply({.brightness = 30}, light);
    rig.harness.executor.runUntilIdle();
    store.apply({.brightness = 60}, light);

    auto change = rig.start(store.allOff());
    EXPECT_TRUE(store.isChangingPower());
    EXPECT_FALSE(store.apply({.brightness = 90}, light)) << "light changes wait for the power change";
    EXPECT_EQ(rig.lights->count(Request::Kind::allOff), 0);

    rig.harness.clock.advance(1s);
    const runtime::SteadyTime answered = rig.harness.clock.steadyNow();
    inFlight->open(done);
    rig.harness.clock.advance(1s);

    EXPECT_TRUE(change.isFinished());
    EXPECT_EQ(rig.lights->count(Request::Kind::updateLight), 1);
    ASSERT_EQ(rig.lights->count(Request::Kind::allOff), 1);
    const auto allOff = std::find_if(rig.lights->requests.begin(), rig.lights->requests.end(),
                                     [](const Request &request) { return request.kind == Request::Kind::allOff; });
    EXPECT_EQ(allOff->at - answered, LightWorkers::adjustmentPause) << "once the worker has rested and ended";
}

TEST(PowerChange, ALightChangeThatFailsWhileItWaitsStaysShownAfterItsSuccess)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(home());
    rig.lights->snapshots.alwaysReturn(reloadedHome());
    auto inFlight = rig.lights->lightUpdates.thenWait();
    store.apply({.brightness = 30}, lightOf(store.snapshot(), "1"));
    rig.harness.executor.runUntilIdle();
    auto change = rig.start(store.allOff());

    inFlight->fail(HueError::http(500));
    rig.harness.clock.advance(1s);

    ASSERT_TRUE(change.isFinished());
    EXPECT_EQ(store.snapshot(), reloadedHome());
    EXPECT_EQ(store.failedLightID(), QStringLiteral("1"));
    EXPECT_EQ(store.failedLightChange(), LightChange{.brightness = 30});
    EXPECT_EQ(store.errorMessage(), HueError::http(500).errorDescription());
}

TEST(PowerChange, TheDemonstrationStoreSwitchesAtOnce)
{
    StoreRig rig;
    HalvetStore &store = rig.build({.mode = StoreMode::demo, .demoSnapshot = home()});
    store.recordFailure(std::make_exception_ptr(HueError::http(500)), AppIssue::Operation::toggle);
    rig.harness.clock.advance(1min);
    StoreSignalLog log(store);

    rig.start(store.setRoomPower(QStringLiteral("bedroom"), false));

    EXPECT_FALSE(lightOf(store.snapshot(), "4").isOn);
    EXPECT_EQ(lightOf(store.snapshot(), "1"), lightOf(home(), "1"));
    EXPECT_EQ(store.lastUpdated(), rig.harness.clock.wallNow());
    EXPECT_FALSE(store.errorMessage());
    EXPECT_EQ(store.notice(), PowerSwitching::unavailableLightsNotice());
    EXPECT_EQ(log.count(QStringLiteral("isChangingPower")), 0);
}

TEST(RoomBrightness, DimsTheLitLightsOfTheRoomWithinTheirBounds)
{
    struct Row {
        const char *name;
        const char *roomID;
        double brightness;
        std::vector<std::pair<QString, double>> sent;
    };
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    const Row rows[] = {
        {"above 100", "living", 120, {{QStringLiteral("1"), 100}, {QStringLiteral("2"), 100}}},
        {"below the room's lowest", "living", 0.5, {{QStringLiteral("1"), 2}, {QStringLiteral("2"), 2}}},
        {"lights out of reach are left out", "bedroom", 50, {{QStringLiteral("4"), 50}}},
        {"lights that are off stay off", "kitchen", 50, {}},
        {"not a number", "living", notANumber, {}},
        {"infinite", "living", std::numeric_limits<double>::infinity(), {}},
        {"a room the snapshot lacks", "attic", 50, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HueSnapshot snapshot = home();
        snapshot.lights[1].minimumBrightness = 2; // the sofa lamp
        HalvetStore &store = rig.buildConnected(snapshot);
        rig.lights->answerTime = 100ms;

        auto dimming = rig.start(store.setRoomBrightness(QString::fromLatin1(row.roomID), row.brightness));
        if (!row.sent.empty()) {
            rig.harness.clock.advance(100ms);
            EXPECT_FALSE(dimming.isFinished()) << "the workers are still resting";
        }
        rig.harness.clock.advance(1s);

        EXPECT_TRUE(dimming.isFinished());
        std::vector<std::pair<QString, double>> sent;
        for (const Request &request : rig.lights->requests) {
            if (request.kind == Request::Kind::updateLight) {
                EXPECT_FALSE(request.change->on) << "never switches a light";
                sent.emplace_back(request.lightID, request.change->brightness.value_or(-1));
            }
        }
        EXPECT_EQ(sent, row.sent);
    }
}

} // namespace
} // namespace vantora::testing
