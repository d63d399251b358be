#include "StoreRig.h"
#include "StoreUnitBench.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using runtime::NetworkError;
using runtime::NetworkErrorCode;
using LightRequest = ScriptedLightService::Request::Kind;

const NetworkError timedOut(NetworkErrorCode::timedOut);

DiscoveredBridge discoveredSavedBridge(const char *address)
{
    return {sampleConnection().bridgeID, QStringLiteral("Hue Bridge"), QString::fromLatin1(address)};
}

TEST(Refresh, RefusesWithoutARequestWhileSomethingElseHoldsTheStore)
{
    struct Row {
        const char *name;
        std::function<void(StoreState &)> arrange;
    };
    const Row rows[] = {
        {"another refresh", [](StoreState &state) { state.isRefreshing.set(true); }},
        {"connection work", [](StoreState &state) { state.isManagingConnection.set(true); }},
        {"a power change", [](StoreState &state) { state.isChangingPower.set(true); }},
        {"a light change", [](StoreState &state) { state.updatingLightIDs.set({QStringLiteral("light-1")}); }},
        {"a bridge waiting to be paired", [](StoreState &state) { state.pendingBridge.set(sampleBridgeInfo()); }},
        {"a refused key", [](StoreState &state) { state.requiresAuthorization.set(true); }},
        {"no connection", [](StoreState &state) { state.connection.set(std::nullopt); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreUnitBench bench;
        bench.state.connection.set(sampleConnection());
        row.arrange(bench.state);
        const bool wasRefreshing = bench.state.isRefreshing.get();

        bench.start(bench.refresh.refresh());

        EXPECT_TRUE(bench.lights->connectionsServed.empty()) << "not even a service is made";
        EXPECT_EQ(bench.state.isRefreshing.get(), wasRefreshing);
        EXPECT_FALSE(bench.state.lastUpdated->has_value());
    }
}

TEST(Refresh, ALocalChangeWhileTheRequestRunsDropsItsAnswer)
{
    enum class Answer { snapshot, connectivityFailure };
    for (const auto answer : {Answer::snapshot, Answer::connectivityFailure}) {
        SCOPED_TRACE(answer == Answer::snapshot ? "snapshot" : "connectivity failure");
        StoreUnitBench bench;
        bench.state.connection.set(sampleConnection());
        auto gate = bench.lights->snapshots.thenWait();
        auto refresh = bench.start(bench.refresh.refresh());
        ASSERT_TRUE(bench.state.isRefreshing.get());

        ++bench.state.revision; // a light was switched meanwhile
        if (answer == Answer::snapshot)
            gate->open(HueSnapshot::demo());
        else
            gate->fail(timedOut);
        bench.harness.executor.runUntilIdle();

        EXPECT_TRUE(refresh.isFinished());
        EXPECT_EQ(bench.state.snapshot.get(), HueSnapshot{});
        EXPECT_FALSE(bench.state.hasVerifiedConnection.get());
        EXPECT_FALSE(bench.state.errorMessage->has_value());
        EXPECT_FALSE(bench.state.needsConnectionRecovery.get());
        EXPECT_EQ(bench.discovery.callCount(), 0) << "a dropped failure never reconnects";
        EXPECT_FALSE(bench.state.isRefreshing.get()) << "the slot is still this refresh's to release";
    }
}

TEST(Refresh, WorkThatReplacesTheConnectionMeanwhileDropsTheAnswer)
{
    enum class Meanwhile { reconnection, forgetting };
    enum class Answer { snapshot, failure };
    for (const auto meanwhile : {Meanwhile::reconnection, Meanwhile::forgetting}) {
        for (const auto answer : {Answer::snapshot, Answer::failure}) {
            SCOPED_TRACE(::testing::Message() << (meanwhile == Meanwhile::reconnection ? "reconnection" : "forgetting")
                                            << ", " << (answer == Answer::snapshot ? "snapshot" : "failure"));
            StoreRig rig;
            rig.storage.save(sampleConnection());
            auto staleAnswer = rig.lights->snapshots.thenWait();
            rig.lights->snapshots.thenReturn(HueSnapshot::sample(2));
            auto identity = rig.pairing->identities.thenWait();
            HalvetStore &store = rig.build();
            auto refresh = rig.start(store.refresh());

            if (meanwhile == Meanwhile::reconnection)
                rig.start(store.reconnect(std::nullopt, Rediscovery::off));
            else
                rig.start(store.disconnect());
            EXPECT_FALSE(store.isRefreshing()) << "the refresh slot was taken away";

            if (answer == Answer::snapshot)
                staleAnswer->open(HueSnapshot::demo());
            else
                staleAnswer->fail(timedOut);
            rig.harness.executor.runUntilIdle();
            ASSERT_TRUE(refresh.isFinished());
            EXPECT_FALSE(store.isRefreshing());
            EXPECT_EQ(store.isManagingConnection(), meanwhile == Meanwhile::reconnection);
            EXPECT_EQ(store.snapshot(), HueSnapshot{});
            EXPECT_FALSE(store.errorMessage());
            EXPECT_EQ(rig.discovery.callCount(), 0);

            identity->open(sampleBridgeInfo());
            rig.harness.executor.runUntilIdle();
            if (meanwhile == Meanwhile::reconnection) {
                EXPECT_EQ(store.snapshot(), HueSnapshot::sample(2)) << "the reconnection's lights stand";
            }
        }
    }
}

TEST(Refresh, ConnectivityFailuresReconnectAtMostOnceEveryThirtySeconds)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenFail(timedOut);
    rig.discovery.thenReturn({discoveredSavedBridge("192.168.1.44")});
    rig.pairing->identities.alwaysReturn(sampleBridgeInfo());
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    HalvetStore &store = rig.build();

    auto first = rig.start(store.refresh());
    ASSERT_TRUE(first.isFinished()) << "the refresh returns once its reconnection has finished";
    EXPECT_EQ(rig.discovery.callCount(), 1);
    EXPECT_EQ(store.connection()->address.host, QStringLiteral("192.168.1.44"));
    EXPECT_EQ(rig.storage.saved(), store.connection());
    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_FALSE(store.errorMessage());

    rig.lights->snapshots.alwaysFail(NetworkError(NetworkErrorCode::cannotConnectToHost));
    rig.discovery.alwaysReturn({discoveredSavedBridge("192.168.1.44")});
    rig.harness.clock.advance(29s);
    rig.start(store.refresh());
    EXPECT_EQ(rig.discovery.callCount(), 1) << "29 s after the last reconnection started";
    EXPECT_TRUE(store.needsConnectionRecovery());
    EXPECT_EQ(store.failureKind(), AppFailureKind::connection);

    rig.harness.clock.advance(1s);
    rig.start(store.refresh());
    EXPECT_EQ(rig.discovery.callCount(), 2) << "30 s after";
}

TEST(Refresh, OnlyConnectivityFailuresReconnectAndOnlyWhenAllowed)
{
    struct Row {
        const char *name;
        std::exception_ptr error;
        AutomaticReconnection automaticallyReconnect;
        bool reconnects;
    };
    const Row rows[] = {
        {"unreachable", std::make_exception_ptr(timedOut), AutomaticReconnection::on, true},
        {"another bridge answers", std::make_exception_ptr(HueError::bridgeIdentityChanged()), AutomaticReconnection::on, true},
        {"automatic reconnection off", std::make_exception_ptr(timedOut), AutomaticReconnection::off, false},
        {"untrusted certificate", std::make_exception_ptr(NetworkError(NetworkErrorCode::serverCertificateUntrusted)), AutomaticReconnection::on, false},
        {"refused key", std::make_exception_ptr(HueError::unauthorized()), AutomaticReconnection::on, false},
        {"bridge error", std::make_exception_ptr(HueError::http(500)), AutomaticReconnection::on, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        rig.storage.save(sampleConnection());
        rig.lights->snapshots.thenReturn(HueSnapshot::demo());
        rig.lights->snapshots.thenFail(row.error);
        rig.discovery.alwaysReturn({});
        HalvetStore &store = rig.build({.automaticallyReconnect = row.automaticallyReconnect});
        rig.start(store.refresh());

        rig.start(store.refresh());

        EXPECT_EQ(rig.discovery.callCount(), row.reconnects ? 1 : 0);
        EXPECT_EQ(store.snapshot(), HueSnapshot::demo()) << "a failure keeps the lights on screen";
        EXPECT_FALSE(store.isRefreshing());
        EXPECT_FALSE(store.isManagingConnection());
    }
}

TEST(Refresh, AFailureRecordedWhileTheRequestRunsSurvivesItsSuccess)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    auto gate = rig.lights->snapshots.thenWait();
    HalvetStore &store = rig.build();
    rig.start(store.refresh());

    store.recordFailure(std::make_exception_ptr(HueError::http(500)), AppIssue::Operation::toggle,
                        QStringLiteral("light-1"));
    gate->open(HueSnapshot::demo());
    rig.harness.executor.runUntilIdle();

    EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_EQ(store.failedLightID(), QStringLiteral("light-1"));
    EXPECT_EQ(store.errorMessage(), HueError::http(500).errorDescription());
}

TEST(Refresh, ASuccessClearsAnEarlierFailureAndTheConnectionsTroubles)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenFail(NetworkError(NetworkErrorCode::serverCertificateUntrusted));
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    HalvetStore &store = rig.build();
    rig.start(store.refresh());
    ASSERT_TRUE(store.needsConnectionRecovery());

    rig.start(store.refresh());

    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_FALSE(store.needsConnectionRecovery());
    EXPECT_FALSE(store.errorMessage());
    EXPECT_FALSE(store.failureKind());
}

TEST(Refresh, CancellingTheWaitingTaskCancelsTheRequestSilently)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    auto gate = rig.lights->snapshots.thenWait();
    rig.discovery.alwaysReturn({});
    HalvetStore &store = rig.build();
    auto refresh = rig.start(store.refresh());
    ASSERT_TRUE(gate->hasWaitingCall());

    refresh.cancel();
    rig.harness.executor.runUntilIdle();

    EXPECT_THROW(refresh.result(), runtime::CancellationError);
    EXPECT_FALSE(gate->hasWaitingCall()) << "the request itself was cancelled";
    EXPECT_FALSE(store.isRefreshing());
    EXPECT_FALSE(store.errorMessage());
    EXPECT_EQ(rig.discovery.callCount(), 0);
}

TEST(Refresh, ARefusedKeyStopsRefreshingUntilTheBridgeIsForgotten)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenFail(HueError::unauthorized());
    HalvetStore &store = rig.build();
    rig.start(store.refresh());
    ASSERT_TRUE(store.requiresAuthorization());

    rig.start(store.refresh());
    EXPECT_EQ(rig.lights->count(LightRequest::snapshot), 1);

    rig.start(store.disconnect());
    EXPECT_FALSE(store.requiresAuthorization());
}

} // namespace
} // namespace vantora::testing
