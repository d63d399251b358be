#include "store/BridgePairing.h"

#include "bridge/HueError.h"
#include "store/FailureRecorder.h"
#include "store/LinkButtonPairing.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

namespace vantora {

BridgePairing::BridgePairing(StoreState &state, StoreServices &services, FailureRecorder &failures,
                             runtime::Clock &clock)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
    , m_clock(clock)
{
}

runtime::Task<void> BridgePairing::prepareConnection(QString address)
{
    if (m_services.isDemo() || m_state.isWorking())
        co_return;
    if (m_state.connection->has_value()) {
        m_failures.record(std::make_exception_ptr(HueError::bridgeAlreadyConnected()),
                          AppIssue::Operation::bridgeCheck);
        co_return;
    }
    m_state.isManagingConnection.set(true);
    m_failures.clear();
    m_state.notice.set(std::nullopt);
    m_state.pendingBridge.set(std::nullopt);
    m_state.pendingAddress.set(std::nullopt);

    std::exception_ptr failure;
    try {
        const BridgeAddress bridgeAddress = BridgeAddress::validated(address);
        const std::shared_ptr<BridgePairingService> service =
            m_services.pairingServiceFactory(bridgeAddress, std::nullopt);
        BridgeInfo info = co_await service->bridgeInfo();
        co_await runtime::checkCancellation();
        m_state.pendingBridge.set(std::move(info));
        m_state.pendingAddress.set(bridgeAddress);
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure)
        m_failures.record(failure, AppIssue::Operation::bridgeCheck);
    m_state.isManagingConnection.set(false);
}

runtime::Task<void> BridgePairing::pair()
{
    if (m_services.isDemo() || m_state.isWorking() || !m_state.pendingBridge->has_value()
        || !m_state.pendingAddress->has_value())
        co_return;
    const BridgeInfo bridge = **m_state.pendingBridge;
    const BridgeAddress address = **m_state.pendingAddress;
    const QString bridgeID = bridge.bridgeid.toLower();
    const bool wasConnected = m_state.connection->has_value();
    if (wasConnected && (*m_state.connection)->bridgeID.toLower() != bridgeID) {
        m_failures.record(std::make_exception_ptr(HueError::bridgeIdentityChanged()), AppIssue::Operation::pairing);
        co_return;
    }
    m_state.isManagingConnection.set(true);
    m_state.isPairing.set(true);
    m_failures.clear();

    std::exception_ptr failure;
    try {
        const std::shared_ptr<BridgePairingService> pairingService =
            m_services.pairingServiceFactory(address, bridge.bridgeid);
        QString applicationKey;
        if (const std::optional<BridgeConnection> &kept = m_state.unsavedPairing; kept && kept->bridgeID == bridgeID)
            applicationKey = kept->applicationKey;
        else
            applicationKey = co_await LinkButtonPairing::requestApplicationKey(pairingService, m_clock);
        const BridgeConnection paired{address, bridgeID, bridge.name, applicationKey};
        const std::shared_ptr<LightService> service = m_services.serviceFactory(paired);
        co_await runtime::checkCancellation();
        // The key stays with the store until the keyring takes it, however the save ends.
        m_state.unsavedPairing = paired;
        co_await m_services.storage->saveWithoutBlocking(paired);
        m_state.unsavedPairing.reset();

        if (!wasConnected) {
            m_state.snapshot.setAlways(HueSnapshot{});
            m_state.lastUpdated.set(std::nullopt);
        }
        m_state.generation = QUuid::createUuid();
        m_state.connection.set(paired);
        m_state.pendingBridge.set(std::nullopt);
        m_state.pendingAddress.set(std::nullopt);
        m_state.requiresAuthorization.set(false);

        HueSnapshot snapshot = co_await service->snapshot();
        m_state.snapshot.setAlways(std::move(snapshot));
        m_state.lastUpdated.set(m_clock.wallNow());
        m_state.hasVerifiedConnection.set(true);
        m_state.needsConnectionRecovery.set(false);
        m_failures.clear();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure)
        m_failures.record(failure, AppIssue::Operation::pairing);
    m_state.isManagingConnection.set(false);
    m_state.isPairing.set(false);
}

void BridgePairing::cancelPreparation()
{
    if (*m_state.isManagingConnection)
        return;
    m_state.pendingBridge.set(std::nullopt);
    m_state.pendingAddress.set(std::nullopt);
    if (!m_state.connection->has_value())
        m_failures.clear();
}

} // namespace vantora
