#include "StoreRig.h"
#include "StoreSignalLog.h"
#include "StoreUnitBench.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <functional>

#include <gtest/gtest.h>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using runtime::NetworkError;
using runtime::NetworkErrorCode;
using PairingRequest = ScriptedPairingService::Request::Kind;
using StorageOperation = MemoryConnectionStorage::Operation;

const NetworkError timedOut(NetworkErrorCode::timedOut);

// The bridge at 192.168.1.20 checked and waiting to be paired.
HalvetStore &storeWithPendingBridge(StoreRig &rig)
{
    rig.pairing->identities.thenReturn(sampleBridgeInfo());
    HalvetStore &store = rig.build();
    rig.start(store.prepareConnection(QStringLiteral(" 192.168.1.20\n")));
    Q_ASSERT(store.pendingBridge());
    return store;
}

TEST(PrepareConnection, ChecksTheBridgeAtTheTypedAddressAndKeepsItPending)
{
    StoreRig rig;
    HalvetStore &store = storeWithPendingBridge(rig);

    EXPECT_EQ(store.pendingBridge(), sampleBridgeInfo());
    EXPECT_EQ(store.pendingAddress(), BridgeAddress{QStringLiteral("192.168.1.20")});
    ASSERT_EQ(rig.pairing->targets.size(), 1u);
    EXPECT_EQ(rig.pairing->targets[0].expectedBridgeID, std::nullopt) << "a new bridge may be any bridge";
    EXPECT_FALSE(store.isManagingConnection());
    EXPECT_FALSE(store.connection()) << "nothing is saved before pairing";
}

TEST(PrepareConnection, FailuresLeaveNoPendingBridge)
{
    struct Row {
        const char *name;
        QString address;
        std::exception_ptr identityFailure;
        AppFailureKind kind;
    };
    const Row rows[] = {
        {"a host name", QStringLiteral("bridge.local"), nullptr, AppFailureKind::invalidAddress},
        {"an unreachable bridge", QStringLiteral("192.168.1.20"), std::make_exception_ptr(timedOut), AppFailureKind::connection},
        {"a malformed reply", QStringLiteral("192.168.1.20"), std::make_exception_ptr(HueError::invalidResponse()), AppFailureKind::unexpected},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        if (row.identityFailure)
            rig.pairing->identities.thenFail(row.identityFailure);
        HalvetStore &store = rig.build();

        rig.start(store.prepareConnection(row.address));

        EXPECT_EQ(store.failureKind(), row.kind);
        EXPECT_FALSE(store.pendingBridge());
        EXPECT_FALSE(store.pendingAddress());
        EXPECT_FALSE(store.isManagingConnection());
        EXPECT_FALSE(store.needsConnectionRecovery()) << "there is no saved connection to recover";
        if (store.unexpectedIssue()) {
            EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::bridgeCheck);
        }
    }
}

TEST(PrepareConnection, ASavedConnectionOnlyReportsThatOneBridgeIsSupported)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    HalvetStore &store = rig.build();
    StoreSignalLog log(store);

    rig.start(store.prepareConnection(QStringLiteral("192.168.1.30")));

    EXPECT_EQ(store.errorMessage(), HueError::bridgeAlreadyConnected().errorDescription());
    EXPECT_FALSE(log.names().contains(QStringLiteral("isManagingConnection")));
    EXPECT_FALSE(store.pendingBridge());
    EXPECT_TRUE(rig.pairing->targets.empty());
}

TEST(CancelPreparation, DropsThePendingBridgeButNotWhileTheCheckRuns)
{
    StoreRig rig;
    auto identity = rig.pairing->identities.thenWait();
    rig.pairing->identities.thenFail(timedOut);
    HalvetStore &store = rig.build();
    auto check = rig.start(store.prepareConnection(QStringLiteral("192.168.1.20")));

    store.cancelPreparation();
    identity->open(sampleBridgeInfo());
    rig.harness.executor.runUntilIdle();
    EXPECT_EQ(store.pendingBridge(), sampleBridgeInfo()) << "cancelling during the check does nothing";

    store.cancelPreparation();
    EXPECT_FALSE(store.pendingBridge());
    EXPECT_FALSE(store.pendingAddress());

    rig.start(store.prepareConnection(QStringLiteral("192.168.1.21")));
    ASSERT_TRUE(store.errorMessage());
    store.cancelPreparation();
    EXPECT_FALSE(store.errorMessage()) << "the failure of an abandoned first connection goes with it";
}

TEST(Pair, WaitsForTheLinkButtonOneRequestASecondUpToThirty)
{
    struct Row {
        const char *name;
        int refusals;
        bool paired;
        int requests;
        std::chrono::seconds lastRequestAt;
        std::chrono::seconds endsAt;
    };
    const Row rows[] = {
        {"pressed before the first request", 0, true, 1, 0s, 0s},
        {"pressed after the fifth request", 5, true, 6, 5s, 5s},
        {"pressed just in time", 29, true, 30, 29s, 29s},
        {"never pressed", 30, false, 30, 29s, 30s},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = storeWithPendingBridge(rig);
        for (int i = 0; i < row.refusals; ++i)
            rig.pairing->applicationKeys.thenFail(HueError::linkButtonNotPressed());
        rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
        rig.lights->snapshots.thenReturn(HueSnapshot::demo());
        const runtime::SteadyTime start = rig.harness.clock.steadyNow();

        auto pairing = rig.start(store.pair());
        EXPECT_EQ(store.isPairing(), row.refusals > 0) << "pairing while waiting for the button";
        EXPECT_EQ(store.isManagingConnection(), row.refusals > 0);
        while (!pairing.isFinished() && rig.harness.clock.nextDeadline())
            rig.harness.clock.advanceTo(*rig.harness.clock.nextDeadline());

        ASSERT_TRUE(pairing.isFinished());
        const auto times = rig.pairing->timesOf(PairingRequest::pair);
        ASSERT_EQ(static_cast<int>(times.size()), row.requests);
        EXPECT_EQ(times.back() - start, row.lastRequestAt);
        EXPECT_EQ(rig.harness.clock.steadyNow() - start, row.endsAt);
        EXPECT_FALSE(store.isPairing());
        EXPECT_FALSE(store.isManagingConnection());
        EXPECT_EQ(store.connection().has_value(), row.paired);
        if (row.paired) {
            const BridgeConnection expected{BridgeAddress{QStringLiteral("192.168.1.20")},
                                            QStringLiteral("001788fffe123456"), QStringLiteral("Hue Bridge"),
                                            QStringLiteral("new-key")};
            EXPECT_EQ(store.connection(), expected);
            EXPECT_EQ(rig.storage.saved(), expected);
            EXPECT_EQ(rig.pairing->targets.back().expectedBridgeID, QStringLiteral("001788FFFE123456"));
            EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
            EXPECT_TRUE(store.hasVerifiedConnection());
            EXPECT_FALSE(store.pendingBridge());
            EXPECT_FALSE(store.errorMessage());
        } else {
            EXPECT_EQ(store.failureKind(), AppFailureKind::pairing);
            EXPECT_EQ(store.pendingBridge(), sampleBridgeInfo()) << "the user may try again";
        }
    }
}

TEST(Pair, TheConnectionIsSavedBeforeAnythingIsPublished)
{
    StoreRig rig;
    HalvetStore &store = storeWithPendingBridge(rig);
    rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    rig.storage.failWith(StorageOperation::save, HueError::keychain(-1002));
    StoreSignalLog log(store);

    rig.start(store.pair());

    EXPECT_FALSE(store.connection());
    EXPECT_FALSE(log.names().contains(QStringLiteral("connection")));
    EXPECT_FALSE(log.names().contains(QStringLiteral("snapshot")));
    EXPECT_EQ(store.pendingBridge(), sampleBridgeInfo());
    EXPECT_EQ(store.pendingAddress(), BridgeAddress{QStringLiteral("192.168.1.20")});
    EXPECT_EQ(store.errorMessage(), HueError::keychain(-1002).errorDescription());
    ASSERT_TRUE(store.unexpectedIssue());
    EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::pairing);
    EXPECT_TRUE(rig.lights->requests.empty());
    EXPECT_FALSE(store.isManagingConnection());
    EXPECT_FALSE(store.isPairing());
}

TEST(Pair, AFailedFirstLoadLeavesTheNewConnectionSavedButUnverified)
{
    StoreRig rig;
    HalvetStore &store = storeWithPendingBridge(rig);
    rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    rig.lights->snapshots.thenFail(HueError::http(503));

    rig.start(store.pair());

    EXPECT_TRUE(store.connection());
    EXPECT_EQ(rig.storage.saved(), store.connection());
    EXPECT_FALSE(store.hasVerifiedConnection());
    EXPECT_EQ(store.failureKind(), AppFailureKind::connection);
}

TEST(Pair, CancellingStopsTheLoopAndOnlyResetsTheBusyFlags)
{
    StoreRig rig;
    HalvetStore &store = storeWithPendingBridge(rig);
    rig.pairing->applicationKeys.alwaysFail(HueError::linkButtonNotPressed());
    auto pairing = rig.start(store.pair());
    rig.harness.clock.advance(3s);

    pairing.cancel();
    rig.harness.clock.advance(30s);

    EXPECT_EQ(rig.pairing->timesOf(PairingRequest::pair).size(), 4u);
    EXPECT_FALSE(store.isPairing());
    EXPECT_FALSE(store.isManagingConnection());
    EXPECT_FALSE(store.errorMessage());
}

TEST(Pair, RepairingIsRefusedForABridgeOtherThanTheSavedOne)
{
    StoreUnitBench bench;
    bench.state.connection.set(sampleConnection());
    BridgeInfo other = sampleBridgeInfo();
    other.bridgeid = QStringLiteral("001788FFFE654321");
    bench.state.pendingBridge.set(other);
    bench.state.pendingAddress.set(BridgeAddress{QStringLiteral("192.168.1.30")});

    bench.start(bench.pairingFlow.pair());

    EXPECT_EQ(bench.state.errorMessage.get(), HueError::bridgeIdentityChanged().errorDescription());
    EXPECT_FALSE(bench.state.isManagingConnection.get());
    EXPECT_TRUE(bench.pairing->requests.empty());
    EXPECT_EQ(bench.state.connection.get(), sampleConnection());
}

TEST(Reconnect, ARefusedKeyMakesTheVerifiedBridgePendingAndPairingRepairsIt)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    rig.pairing->identities.thenReturn(sampleBridgeInfo());
    rig.lights->snapshots.thenFail(HueError::unauthorized());
    HalvetStore &store = rig.build();
    rig.start(store.refresh());

    rig.start(store.reconnect(std::nullopt, Rediscovery::off));

    EXPECT_EQ(store.pendingBridge(), sampleBridgeInfo());
    EXPECT_EQ(store.pendingAddress(), sampleConnection().address);
    EXPECT_TRUE(store.requiresAuthorization());
    EXPECT_TRUE(store.needsConnectionRecovery());
    EXPECT_EQ(store.connection(), sampleConnection());

    rig.pairing->applicationKeys.thenReturn(QStringLiteral("renewed-key"));
    rig.lights->snapshots.thenReturn(HueSnapshot::sample(3));
    rig.start(store.pair());

    EXPECT_EQ(store.connection()->applicationKey, QStringLiteral("renewed-key"));
    EXPECT_FALSE(store.requiresAuthorization());
    EXPECT_FALSE(store.needsConnectionRecovery());
    EXPECT_EQ(store.snapshot(), HueSnapshot::sample(3));
}

TEST(Reconnect, FindsTheSavedBridgeAndSavesOnlyWhatChanged)
{
    struct Row {
        const char *name;
        std::optional<QString> typedAddress;
        Rediscovery rediscovery;
        std::vector<std::exception_ptr> identityFailures;
        std::vector<DiscoveredBridge> discovered;
        std::optional<QString> reachedAt;
        int searches;
        std::optional<HueError> failure;
        AppFailureKind failureKind = AppFailureKind::connection;
    };
    const DiscoveredBridge other{QStringLiteral("001788fffe654321"), QStringLiteral("Other"), QStringLiteral("192.168.1.50")};
    const DiscoveredBridge moved{QStringLiteral("001788FFFE123456"), QStringLiteral("Hue Bridge"), QStringLiteral("192.168.1.44")};
    const auto unreachable = std::make_exception_ptr(timedOut);
    const Row rows[] = {
        {"still at its saved address", std::nullopt, Rediscovery::off, {}, {}, QStringLiteral("192.168.1.20"), 0, std::nullopt},
        {"moved: found by discovery", std::nullopt, Rediscovery::off, {unreachable}, {other, moved}, QStringLiteral("192.168.1.44"), 1, std::nullopt},
        {"typed address", QStringLiteral("192.168.1.44"), Rediscovery::off, {}, {}, QStringLiteral("192.168.1.44"), 0, std::nullopt},
        {"typed address unreachable: no discovery", QStringLiteral("192.168.1.44"), Rediscovery::off, {unreachable}, {moved}, std::nullopt, 0, std::nullopt},
        {"typed address invalid", QStringLiteral("hue-bridge"), Rediscovery::off, {}, {}, std::nullopt, 0, HueError::invalidAddress(), AppFailureKind::invalidAddress},
        {"rediscovered", std::nullopt, Rediscovery::on, {}, {moved}, QStringLiteral("192.168.1.44"), 1, std::nullopt},
        {"rediscovery finds nothing", std::nullopt, Rediscovery::on, {}, {}, std::nullopt, 1, HueError::savedBridgeNotFound()},
        {"rediscovery finds another bridge only", std::nullopt, Rediscovery::on, {}, {other}, std::nullopt, 1, HueError::savedBridgeNotFound()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        rig.storage.save(sampleConnection());
        for (const auto &failure : row.identityFailures)
            rig.pairing->identities.thenFail(failure);
        rig.pairing->identities.alwaysReturn(sampleBridgeInfo());
        rig.discovery.alwaysReturn(row.discovered);
        rig.lights->snapshots.alwaysReturn(HueSnapshot::demo());
        HalvetStore &store = rig.build();
        const int savesBefore = rig.storage.callCount(StorageOperation::save);

        rig.start(store.reconnect(row.typedAddress, row.rediscovery));

        EXPECT_EQ(rig.discovery.callCount(), row.searches);
        EXPECT_FALSE(store.isManagingConnection());
        if (row.reachedAt) {
            EXPECT_EQ(store.connection()->address.host, *row.reachedAt);
            EXPECT_EQ(rig.pairing->targets.back().expectedBridgeID, sampleConnection().bridgeID);
            EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
            EXPECT_TRUE(store.hasVerifiedConnection());
            EXPECT_FALSE(store.errorMessage());
            const bool changed = *row.reachedAt != sampleConnection().address.host;
            EXPECT_EQ(rig.storage.callCount(StorageOperation::save) - savesBefore, changed ? 1 : 0);
            EXPECT_EQ(rig.storage.saved(), store.connection());
        } else {
            EXPECT_EQ(store.connection(), sampleConnection()) << "a failed reconnection keeps the saved connection";
            EXPECT_EQ(rig.storage.callCount(StorageOperation::save), savesBefore);
            EXPECT_EQ(store.failureKind(), row.failureKind);
            if (row.failure) {
                EXPECT_EQ(store.errorMessage(), row.failure->errorDescription());
            }
            EXPECT_EQ(store.needsConnectionRecovery(), row.failure != HueError::invalidAddress());
        }
    }
}

TEST(Reconnect, AnotherBridgeAtTheAddressIsRefused)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    BridgeInfo other = sampleBridgeInfo();
    other.bridgeid = QStringLiteral("001788fffe654321");
    rig.pairing->identities.alwaysReturn(other);
    HalvetStore &store = rig.build();

    rig.start(store.reconnect(QStringLiteral("192.168.1.30"), Rediscovery::off));

    EXPECT_EQ(store.errorMessage(), HueError::bridgeIdentityChanged().errorDescription());
    EXPECT_EQ(store.connection(), sampleConnection());
    EXPECT_TRUE(rig.lights->requests.empty());
}

TEST(Reconnect, ASavedBridgeIdInUpperCaseStillMatchesItsBridge)
{
    StoreRig rig;
    BridgeConnection saved = sampleConnection();
    saved.bridgeID = saved.bridgeID.toUpper();
    rig.storage.save(saved);
    rig.pairing->identities.alwaysReturn(sampleBridgeInfo());
    rig.discovery.alwaysReturn({DiscoveredBridge{QStringLiteral("001788fffe123456"), QStringLiteral("Hue Bridge"),
                                                 QStringLiteral("192.168.1.44")}});
    rig.lights->snapshots.alwaysReturn(HueSnapshot::demo());
    HalvetStore &store = rig.build();

    rig.start(store.reconnect(std::nullopt, Rediscovery::on));

    EXPECT_FALSE(store.errorMessage());
    EXPECT_TRUE(store.hasVerifiedConnection());
    EXPECT_EQ(store.connection()->address.host, QStringLiteral("192.168.1.44"));
    EXPECT_EQ(rig.storage.saved()->bridgeID, sampleConnection().bridgeID) << "saved again in lower case";
}

TEST(Pair, RepairingAcceptsTheSavedBridgeWhateverTheCaseOfItsSavedId)
{
    StoreUnitBench bench;
    BridgeConnection saved = sampleConnection();
    saved.bridgeID = saved.bridgeID.toUpper();
    bench.state.connection.set(saved);
    bench.state.pendingBridge.set(sampleBridgeInfo());
    bench.state.pendingAddress.set(saved.address);
    bench.pairing->applicationKeys.thenReturn(QStringLiteral("renewed-key"));
    bench.lights->snapshots.thenReturn(HueSnapshot::demo());

    bench.start(bench.pairingFlow.pair());

    EXPECT_FALSE(bench.state.errorMessage.get());
    EXPECT_EQ(bench.state.connection.get()->applicationKey, QStringLiteral("renewed-key"));
}

TEST(Reconnect, DoesNothingWhileConnectionWorkRunsOrWithoutAConnection)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    auto identity = rig.pairing->identities.thenWait();
    HalvetStore &store = rig.build();
    rig.start(store.reconnect(std::nullopt, Rediscovery::off));

    rig.start(store.reconnect(std::nullopt, Rediscovery::on));
    EXPECT_EQ(rig.pairing->targets.size(), 1u);
    EXPECT_EQ(rig.discovery.callCount(), 0);

    rig.start(store.disconnect());
    EXPECT_EQ(store.connection(), sampleConnection()) << "no forgetting during connection work";
    EXPECT_EQ(rig.storage.callCount(StorageOperation::remove), 0);
    identity->fail(timedOut);
    rig.discovery.alwaysReturn({});
    rig.harness.executor.runUntilIdle();
    EXPECT_FALSE(store.isManagingConnection());

    StoreRig unpaired;
    HalvetStore &empty = unpaired.build();
    unpaired.start(empty.reconnect(QStringLiteral("192.168.1.20"), Rediscovery::off));
    EXPECT_TRUE(unpaired.pairing->targets.empty());
}

TEST(Disconnect, ForgetsEverythingAboutTheBridgeOnceStorageLetsGo)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.thenFail(HueError::http(500));
    rig.lights->snapshots.thenReturn(HueSnapshot::demo());
    HalvetStore &store = rig.build();
    rig.start(store.refresh());
    rig.start(store.refresh());
    store.setNotice(QStringLiteral("Saved."));
    store.recordFailure(std::make_exception_ptr(HueError::http(500)), AppIssue::Operation::toggle);

    rig.storage.failWith(StorageOperation::remove, HueError::keychain(-1002));
    rig.start(store.disconnect());
    EXPECT_EQ(store.connection(), sampleConnection());
    EXPECT_EQ(store.snapshot(), HueSnapshot::demo());
    ASSERT_TRUE(store.unexpectedIssue());
    EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::forgetBridge);

    rig.storage.clearFailure(StorageOperation::remove);
    rig.start(store.disconnect());
    EXPECT_FALSE(store.connection());
    EXPECT_FALSE(rig.storage.saved());
    EXPECT_FALSE(store.isConnected());
    EXPECT_EQ(store.snapshot(), HueSnapshot{});
    EXPECT_FALSE(store.lastUpdated());
    EXPECT_FALSE(store.hasVerifiedConnection());
    EXPECT_FALSE(store.notice());
    EXPECT_FALSE(store.errorMessage());
    EXPECT_FALSE(store.unexpectedIssue());
    EXPECT_FALSE(store.canForgetBridge());
}

TEST(Disconnect, AReconnectionMayFollowAtOnceForTheNextConnection)
{
    StoreRig rig;
    rig.storage.save(sampleConnection());
    rig.lights->snapshots.alwaysFail(timedOut);
    rig.discovery.alwaysReturn({});
    HalvetStore &store = rig.build();
    rig.start(store.refresh());
    ASSERT_EQ(rig.discovery.callCount(), 1);

    rig.start(store.disconnect());
    // The same store pairs again: the throttle of the forgotten connection must not hold.
    rig.pairing->identities.thenReturn(sampleBridgeInfo());
    rig.start(store.prepareConnection(QStringLiteral("192.168.1.20")));
    rig.pairing->applicationKeys.thenReturn(QStringLiteral("new-key"));
    rig.start(store.pair());
    ASSERT_TRUE(store.connection());

    rig.start(store.refresh());
    EXPECT_EQ(rig.discovery.callCount(), 2);
}

// The saved connection read again after a failed launch read, as when a keyring starts while
// the application runs: what the keyring answers then decides the connection and the notice.
TEST(ReadSavedConnectionAgain, ReachesTheKeyringThatCameLaterOrKeepsTellingWhyNot)
{
    const HueError noKeyring = HueError::keychain(-1001);
    struct Case {
        const char *name;
        // Before the second read: what the keyring holds and says now.
        std::function<void(StoreRig &)> meanwhile;
        bool read;
        std::optional<BridgeConnection> connection;
        // The issue shown afterwards: none, the launch's own, a new one for the second read, or
        // the one recorded meanwhile.
        enum class Issue { none, launchs, renewed, meanwhile } issue;
    };
    const Case cases[] = {
        {"the keyring comes with the saved connection",
         [](StoreRig &rig) {
             rig.storage.clearFailure(StorageOperation::load);
             rig.storage.save(sampleConnection());
         },
         true, sampleConnection(), Case::Issue::none},
        {"the keyring comes without one: pairing is next",
         [](StoreRig &rig) { rig.storage.clearFailure(StorageOperation::load); }, true, std::nullopt, Case::Issue::none},
        {"still no keyring: the same notice stays", [](StoreRig &) {}, false, std::nullopt, Case::Issue::launchs},
        {"a keyring that stays locked is told instead",
         [](StoreRig &rig) { rig.storage.failWith(StorageOperation::load, HueError::keychain(-1002)); }, false,
         std::nullopt, Case::Issue::renewed},
        {"a dismissed notice comes back while there is still no keyring",
         [](StoreRig &rig) { rig.store->clearFailure(); }, false, std::nullopt, Case::Issue::renewed},
        {"a later failure is not the launch's to take away",
         [](StoreRig &rig) {
             rig.store->recordFailure(std::make_exception_ptr(runtime::DecodingError(QStringLiteral("$"), QStringLiteral("x"))),
                                      AppIssue::Operation::refresh);
             rig.storage.clearFailure(StorageOperation::load);
         },
         true, std::nullopt, Case::Issue::meanwhile},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.name);
        StoreRig rig;
        rig.storage.failWith(StorageOperation::load, noKeyring);
        HalvetStore &store = rig.build();
        ASSERT_TRUE(store.unexpectedIssue());
        const AppIssue atLaunch = *store.unexpectedIssue();
        ASSERT_TRUE(atLaunch.explanation) << "the missing keyring is explained";
        each.meanwhile(rig);
        const std::optional<AppIssue> before = store.unexpectedIssue();

        EXPECT_EQ(rig.harness.run(store.readSavedConnectionAgain()), each.read);
        EXPECT_EQ(store.connection(), each.connection);
        switch (each.issue) {
        case Case::Issue::none:
            EXPECT_EQ(store.unexpectedIssue(), std::nullopt);
            EXPECT_EQ(store.errorMessage(), std::nullopt);
            break;
        case Case::Issue::launchs:
            EXPECT_EQ(store.unexpectedIssue(), atLaunch) << "the notice is not made anew";
            break;
        case Case::Issue::renewed:
            ASSERT_TRUE(store.unexpectedIssue());
            EXPECT_NE(store.unexpectedIssue()->id, atLaunch.id);
            EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::launch);
            break;
        case Case::Issue::meanwhile:
            EXPECT_EQ(store.unexpectedIssue(), before) << "nothing but the launch's failure goes";
            break;
        }
        const int loads = rig.storage.callCount(StorageOperation::load);
        rig.harness.run(store.readSavedConnectionAgain());
        EXPECT_EQ(rig.storage.callCount(StorageOperation::load), each.read ? loads : loads + 1)
            << "a connection once read is not read again";
    }
}

} // namespace
} // namespace vantora::testing
