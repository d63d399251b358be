// The store's state as it starts and as views observe it.
#include "StoreRig.h"
#include "StoreSignalLog.h"

#include "bridge/HueError.h"

#include <gtest/gtest.h>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using Operation = MemoryConnectionStorage::Operation;

TEST(StoreConstruction, ALiveStoreStartsFromWhatStorageHolds)
{
    struct Row {
        const char *name;
        std::optional<BridgeConnection> saved;
        bool loadFails;
    };
    const Row rows[] = {
        {"nothing saved", std::nullopt, false},
        {"a saved connection", sampleConnection(), false},
        {"a keyring that cannot be read", sampleConnection(), true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        if (row.saved)
            rig.storage.save(*row.saved);
        if (row.loadFails)
            rig.storage.failWith(Operation::load, HueError::keychain(-1002));
        HalvetStore &store = rig.build();

        EXPECT_EQ(rig.storage.callCount(Operation::load), 1);
        EXPECT_EQ(store.connection(), row.loadFails ? std::nullopt : row.saved);
        EXPECT_EQ(store.isConnected(), store.connection().has_value());
        EXPECT_FALSE(store.hasVerifiedConnection());
        EXPECT_FALSE(store.lastUpdated());
        EXPECT_EQ(store.failureKind().has_value(), row.loadFails);
        if (row.loadFails) {
            ASSERT_TRUE(store.unexpectedIssue());
            EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::launch);
            EXPECT_EQ(store.unexpectedIssue()->code, QStringLiteral("keychain--1002"));
            EXPECT_EQ(store.errorMessage(), HueError::keychain(-1002).errorDescription());
        }
        EXPECT_TRUE(rig.lights->requests.empty());
        EXPECT_TRUE(rig.pairing->requests.empty());
        EXPECT_EQ(rig.harness.executor.pendingCount(), 0u) << "no task is started";
    }
}

TEST(StoreConstruction, ADemonstrationStoreIsVerifiedWithoutStorageOrBridge)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    HalvetStore &store = rig.build({StoreMode::demo, HueSnapshot::demo()});

    EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_EQ(store.lastUpdated(), rig.harness.clock.wallNow());
    EXPECT_FALSE(store.connection());
    EXPECT_TRUE(store.isConnected());
    EXPECT_EQ(rig.storage.callCount(Operation::load), 0);

    rig.harness.clock.advance(2s);
    rig.start(store.refresh());
    EXPECT_EQ(store.lastUpdated(), rig.harness.clock.wallNow()) << "a demonstration refresh only moves the time";
    EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
    EXPECT_TRUE(rig.lights->requests.empty());

    rig.start(store.prepareConnection(QStringLiteral("192.168.1.30")));
    rig.start(store.reconnect(std::nullopt, Rediscovery::on));
    rig.start(store.disconnect());
    EXPECT_TRUE(rig.pairing->requests.empty());
    EXPECT_EQ(rig.discovery.callCount(), 0);
    EXPECT_EQ(rig.storage.callCount(Operation::remove), 0);
    EXPECT_FALSE(store.isManagingConnection());
}

TEST(StoreObservation, OnlyRealChangesAreAnnouncedExceptForTheSnapshot)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    HalvetStore &store = rig.build();
    StoreSignalLog log(store);

    rig.start(store.refresh());
    EXPECT_EQ(log.names(), (QStringList{QStringLiteral("isRefreshing"), QStringLiteral("snapshot"),
                                        QStringLiteral("lastUpdated"), QStringLiteral("hasVerifiedConnection"),
                                        QStringLiteral("isRefreshing")}));

    log.clear();
    rig.start(store.refresh());
    EXPECT_EQ(log.names(), (QStringList{QStringLiteral("isRefreshing"), QStringLiteral("snapshot"),
                                        QStringLiteral("isRefreshing")}))
        << "the same snapshot is announced again; the unchanged time and flags are not";

    log.clear();
    store.setErrorMessage(std::nullopt);
    store.setUnexpectedIssue(std::nullopt);
    EXPECT_TRUE(log.names().isEmpty());
}

TEST(StoreObservation, ANoticeClearsFiveSecondsAfterItWasLastAssigned)
{
    StoreRig rig;
    HalvetStore &store = rig.build();
    StoreSignalLog log(store);

    store.setNotice(QStringLiteral("2 lights are unavailable."));
    rig.harness.clock.advance(3s);
    store.setNotice(QStringLiteral("2 lights are unavailable."));
    EXPECT_EQ(log.count(QStringLiteral("notice")), 1);

    rig.harness.clock.advance(4s);
    EXPECT_TRUE(store.notice()) << "7 s after the first assignment, 4 s after the second";
    rig.harness.clock.advance(1s);
    EXPECT_FALSE(store.notice());
    EXPECT_EQ(log.count(QStringLiteral("notice")), 2);
}

TEST(StoreObservation, ClearingTheNoticeEarlyCancelsThePendingClearing)
{
    StoreRig rig;
    HalvetStore &store = rig.build();
    StoreSignalLog log(store);

    store.setNotice(QStringLiteral("Saved."));
    rig.harness.clock.advance(2s);
    store.setNotice(std::nullopt);
    rig.harness.clock.advance(2s);
    store.setNotice(QStringLiteral("Saved again."));
    rig.harness.clock.advance(4s);

    EXPECT_EQ(store.notice(), QStringLiteral("Saved again.")) << "the first clearing must not fire at 5 s";
    EXPECT_EQ(rig.harness.clock.sleeperCount(), 1u);
    EXPECT_EQ(log.count(QStringLiteral("notice")), 3);
}

TEST(StoreObservation, DestroyingTheStoreEndsWhatWaitsForIt)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    auto gate = rig.lights->snapshots.thenWait();
    HalvetStore &store = rig.build();
    store.setNotice(QStringLiteral("Saved."));
    auto refresh = rig.start(store.refresh());
    ASSERT_TRUE(gate->hasWaitingCall());

    rig.store.reset();
    rig.harness.executor.runUntilIdle();
    rig.harness.clock.advance(10s);

    ASSERT_TRUE(refresh.isFinished());
    EXPECT_THROW(refresh.result(), runtime::CancellationError);
    gate->open(HueSnapshot::demo());
    rig.harness.executor.runUntilIdle();
}

TEST(StoreState, BusyFlagsDecideWhatMayRun)
{
    struct Row {
        const char *name;
        std::function<void(StoreState &)> arrange;
        bool working;
        bool canForget;
        bool locked;
    };
    const Row rows[] = {
        {"idle", [](StoreState &) {}, false, true, false},
        {"refreshing", [](StoreState &state) { state.isRefreshing.set(true); }, true, true, false},
        {"managing the connection", [](StoreState &state) { state.isManagingConnection.set(true); }, true, false, true},
        {"changing power", [](StoreState &state) { state.isChangingPower.set(true); }, true, false, true},
        {"a light updating", [](StoreState &state) { state.updatingLightIDs.set({QStringLiteral("light-1")}); }, true, false, false},
        {"nothing saved", [](StoreState &state) { state.connection.set(std::nullopt); }, false, false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreState state([](StoreProperty) {}, [] {});
        state.connection.set(sampleConnection());
        row.arrange(state);
        EXPECT_EQ(state.isWorking(), row.working);
        EXPECT_EQ(state.canForgetBridge(), row.canForget);
        EXPECT_EQ(state.controlsLocked(), row.locked);
    }
}

} // namespace
} // namespace vantora::testing
