#include "store/BridgeReconnection.h"

#include "bridge/HueError.h"
#include "store/FailureClassification.h"
#include "store/FailureRecorder.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

namespace vantora {

namespace {

// The address of the first discovered bridge that carries the saved id.
runtime::Task<BridgeAddress> findSavedBridge(BridgeSearch discover, QString savedBridgeID)
{
    const std::vector<DiscoveredBridge> bridges = co_await discover();
    co_await runtime::checkCancellation();
    for (const DiscoveredBridge &bridge : bridges) {
        if (bridge.id.toLower() == savedBridgeID)
            co_return BridgeAddress::validated(bridge.address);
    }
    throw HueError::savedBridgeNotFound();
}

// The identity of the bridge at `address`, when it is the saved bridge.
runtime::Task<BridgeInfo> matchBridgeIdentity(PairingServiceFactory makeService, BridgeAddress address,
                                              QString savedBridgeID)
{
    const std::shared_ptr<BridgePairingService> service = makeService(address, savedBridgeID);
    BridgeInfo info = co_await service->bridgeInfo();
    if (info.bridgeid.toLower() != savedBridgeID)
        throw HueError::bridgeIdentityChanged();
    co_return info;
}

} // namespace

BridgeReconnection::BridgeReconnection(StoreState &state, StoreServices &services, FailureRecorder &failures,
                                       runtime::Clock &clock)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
    , m_clock(clock)
{
}

runtime::Task<void> BridgeReconnection::reconnect(std::optional<QString> address, Rediscovery rediscovery)
{
    if (m_services.isDemo() || *m_state.isManagingConnection || *m_state.isChangingPower
        || !m_state.updatingLightIDs->isEmpty() || !m_state.connection->has_value())
        co_return;

    const BridgeConnection saved = **m_state.connection;
    // Bridges report their id in either case; a saved id is matched in lower case.
    const QString savedBridgeID = saved.bridgeID.toLower();
    m_state.supersedeRunningWork();
    m_state.isManagingConnection.set(true);
    m_state.notice.set(std::nullopt);
    m_state.reconnectionThrottle.reconnectionStarted(m_clock.steadyNow());

    // Set once the bridge has proved to be the saved one.
    std::optional<BridgeInfo> verifiedBridge;
    std::optional<BridgeAddress> verifiedAddress;
    std::exception_ptr failure;
    try {
        const BridgeAddress start = address ? BridgeAddress::validated(*address) : saved.address;
        BridgeAddress found = start;
        std::optional<BridgeInfo> identity;
        if (rediscovery == Rediscovery::off) {
            std::exception_ptr atStart;
            try {
                identity = co_await matchBridgeIdentity(m_services.pairingServiceFactory, start, savedBridgeID);
            } catch (...) {
                atStart = std::current_exception();
            }
            // A typed address is what the user asked for; only the saved one may have gone stale.
            if (atStart && (address || FailureClassification(atStart).isCancellation()))
                std::rethrow_exception(atStart);
        }
        if (!identity) {
            found = co_await findSavedBridge(m_services.discover, savedBridgeID);
            identity = co_await matchBridgeIdentity(m_services.pairingServiceFactory, found, savedBridgeID);
        }
        verifiedBridge = identity;
        verifiedAddress = found;
        co_await runtime::checkCancellation();

        const BridgeConnection renewed{found, savedBridgeID, identity->name, saved.applicationKey};
        const std::shared_ptr<LightService> service = m_services.serviceFactory(renewed);
        HueSnapshot snapshot = co_await service->snapshot();
        co_await runtime::checkCancellation();
        if (renewed != saved)
            co_await m_services.storage->saveWithoutBlocking(renewed);

        m_state.connection.set(renewed);
        m_state.snapshot.setAlways(std::move(snapshot));
        m_state.lastUpdated.set(m_clock.wallNow());
        m_state.hasVerifiedConnection.set(true);
        m_state.requiresAuthorization.set(false);
        m_state.needsConnectionRecovery.set(false);
        m_state.pendingBridge.set(std::nullopt);
        m_state.pendingAddress.set(std::nullopt);
        m_failures.clear();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        if (verifiedBridge && FailureClassification(failure).isUnauthorized()) {
            m_state.pendingBridge.set(verifiedBridge);
            m_state.pendingAddress.set(verifiedAddress);
        }
        m_failures.record(failure, AppIssue::Operation::bridgeCheck);
    }
    m_state.isManagingConnection.set(false);
}

} // namespace vantora
