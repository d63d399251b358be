#include "store/HalvetStore.h"

#include "store/FailureClassification.h"

namespace vantora {

HalvetStore::HalvetStore(StoreMode mode, HueSnapshot demoSnapshot, std::unique_ptr<ConnectionStorage> storage,
                         LightServiceFactory serviceFactory, PairingServiceFactory pairingServiceFactory,
                         BridgeSearch discover, AutomaticReconnection automaticallyReconnect, runtime::Clock &clock,
                         runtime::Executor &executor, QObject *parent, SavedConnectionRead read)
    : QObject(parent)
    , m_clock(clock)
    , m_services{mode,           std::move(storage), std::move(serviceFactory), std::move(pairingServiceFactory),
                 std::move(discover), automaticallyReconnect}
    , m_state([this](StoreProperty property) { announce(property); },
              [this] { m_noticeDismissal.noticeAssigned(*m_state.notice); })
    , m_noticeDismissal(clock, executor, [this] { m_state.notice.set(std::nullopt); })
    , m_failures(m_state, clock)
    , m_reconnection(m_state, m_services, m_failures, clock)
    , m_refresh(m_state, m_services, m_failures, m_reconnection, clock, m_tasks)
    , m_pairing(m_state, m_services, m_failures, clock)
    , m_forgetting(m_state, m_services, m_failures)
    , m_workers(m_state, m_services, m_failures, clock, m_tasks)
    , m_power(m_state, m_services, m_failures, m_workers, clock)
    , m_roomBrightness(m_state, m_workers)
    , m_tasks(executor)
{
    if (m_services.isDemo()) {
        m_state.snapshot.setAlways(std::move(demoSnapshot));
        m_state.lastUpdated.set(m_clock.wallNow());
        m_state.hasVerifiedConnection.set(true);
        return;
    }
    if (read == SavedConnectionRead::whenAsked) {
        // Nothing may start on the assumption that nothing is saved.
        m_unreadSavedConnection = m_state.failureRevision;
        m_awaitsFirstRead = true;
        m_state.isManagingConnection.set(true);
        return;
    }
    try {
        m_state.connection.set(m_services.storage->load());
    } catch (...) {
        m_failures.record(std::current_exception(), AppIssue::Operation::launch);
        m_unreadSavedConnection = m_state.failureRevision;
        m_unreadBecauseLocked = FailureClassification(std::current_exception()).meansLockedKeyring();
    }
}

runtime::Task<bool> HalvetStore::readSavedConnectionAgain()
{
    if (!m_unreadSavedConnection || m_readingSavedConnection)
        co_return false;
    m_readingSavedConnection = true;
    std::optional<BridgeConnection> saved;
    std::exception_ptr error;
    try {
        saved = co_await m_services.storage->loadWithoutBlocking();
    } catch (...) {
        error = std::current_exception();
    }
    m_readingSavedConnection = false;
    const bool firstRead = std::exchange(m_awaitsFirstRead, false);
    if (firstRead)
        m_state.isManagingConnection.set(false);
    if (error) {
        const FailureClassification failure(error);
        if (failure.isCancellation())
            std::rethrow_exception(error);
        m_unreadBecauseLocked = failure.meansLockedKeyring();
        const std::optional<AppIssue> &shown = unexpectedIssue();
        // A new issue would be a new notice: the same one stays, its report open or not.
        if (!firstRead && shown && shown->operation == AppIssue::Operation::launch && shown->code == failure.issueCode())
            co_return false;
        m_failures.record(error, AppIssue::Operation::launch);
        m_unreadSavedConnection = m_state.failureRevision;
        co_return false;
    }
    const qint64 failure = *std::exchange(m_unreadSavedConnection, std::nullopt);
    // A bridge paired meanwhile is newer than what was saved before.
    if (!connection())
        m_state.connection.set(std::move(saved));
    m_failures.clear(failure);
    co_return true;
}

HalvetStore::~HalvetStore() = default;

void HalvetStore::announce(StoreProperty property)
{
    switch (property) {
    case StoreProperty::connection:
        Q_EMIT connectionChanged();
        return;
    case StoreProperty::snapshot:
        Q_EMIT snapshotChanged();
        return;
    case StoreProperty::isRefreshing:
        Q_EMIT isRefreshingChanged();
        return;
    case StoreProperty::isManagingConnection:
        Q_EMIT isManagingConnectionChanged();
        return;
    case StoreProperty::isPairing:
        Q_EMIT isPairingChanged();
        return;
    case StoreProperty::isChangingPower:
        Q_EMIT isChangingPowerChanged();
        return;
    case StoreProperty::updatingLightIDs:
        Q_EMIT updatingLightIDsChanged();
        return;
    case StoreProperty::hasVerifiedConnection:
        Q_EMIT hasVerifiedConnectionChanged();
        return;
    case StoreProperty::requiresAuthorization:
        Q_EMIT requiresAuthorizationChanged();
        return;
    case StoreProperty::needsConnectionRecovery:
        Q_EMIT needsConnectionRecoveryChanged();
        return;
    case StoreProperty::lastUpdated:
        Q_EMIT lastUpdatedChanged();
        return;
    case StoreProperty::pendingBridge:
        Q_EMIT pendingBridgeChanged();
        return;
    case StoreProperty::pendingAddress:
        Q_EMIT pendingAddressChanged();
        return;
    case StoreProperty::errorMessage:
        Q_EMIT errorMessageChanged();
        return;
    case StoreProperty::failedLightID:
        Q_EMIT failedLightIDChanged();
        return;
    case StoreProperty::failedLightChange:
        Q_EMIT failedLightChangeChanged();
        return;
    case StoreProperty::notice:
        Q_EMIT noticeChanged();
        return;
    case StoreProperty::failureKind:
        Q_EMIT failureKindChanged();
        return;
    case StoreProperty::unexpectedIssue:
        Q_EMIT unexpectedIssueChanged();
        return;
    }
    Q_UNREACHABLE();
}

bool HalvetStore::isCancellation(const std::exception_ptr &error)
{
    return FailureClassification(error).isCancellation();
}

QString HalvetStore::describe(const std::exception_ptr &error)
{
    return FailureClassification(error).message();
}

bool HalvetStore::isConnectivityFailure(const std::exception_ptr &error)
{
    return FailureClassification(error).isConnectivityFailure();
}

void HalvetStore::recordFailure(const std::exception_ptr &error, AppIssue::Operation operation,
                                std::optional<QString> lightID, std::optional<LightChange> change)
{
    m_failures.record(error, operation, std::move(lightID), std::move(change));
}

void HalvetStore::clearFailure(std::optional<qint64> ifUnchanged)
{
    m_failures.clear(ifUnchanged);
}

runtime::Task<void> HalvetStore::owned(runtime::Task<void> operation)
{
    // Nothing of the store is touched after the spawn, so this wait may outlive it.
    const runtime::TaskHandle<void> handle = m_tasks.spawn(std::move(operation));
    co_await handle.joinPassingCancellation();
}

runtime::Task<void> HalvetStore::refresh()
{
    return owned(m_refresh.refresh());
}

runtime::Task<void> HalvetStore::prepareConnection(QString address)
{
    return owned(m_pairing.prepareConnection(std::move(address)));
}

runtime::Task<void> HalvetStore::pair()
{
    return owned(m_pairing.pair());
}

void HalvetStore::cancelPreparation()
{
    m_pairing.cancelPreparation();
}

runtime::Task<void> HalvetStore::reconnect(std::optional<QString> address, Rediscovery rediscovery)
{
    return owned(m_reconnection.reconnect(std::move(address), rediscovery));
}

runtime::Task<void> HalvetStore::disconnect()
{
    return owned(m_forgetting.disconnect());
}

std::optional<runtime::TaskHandle<void>> HalvetStore::apply(const LightChange &change, const HueLight &light)
{
    return m_workers.apply(change, light.id);
}

runtime::Task<void> HalvetStore::updateLight(const HueLight &light, LightChange change)
{
    return owned(m_workers.update(light.id, std::move(change)));
}

runtime::Task<void> HalvetStore::setLight(const HueLight &light, bool on)
{
    return updateLight(light, LightChange{.on = on});
}

runtime::Task<void> HalvetStore::setPower(std::optional<QString> roomID, bool on)
{
    return owned(m_power.setPower(std::move(roomID), on));
}

runtime::Task<void> HalvetStore::allOn()
{
    return setPower(std::nullopt, true);
}

runtime::Task<void> HalvetStore::allOff()
{
    return setPower(std::nullopt, false);
}

runtime::Task<void> HalvetStore::setAllLights(bool on)
{
    return setPower(std::nullopt, on);
}

runtime::Task<void> HalvetStore::setRoomPower(QString roomID, bool on)
{
    return setPower(std::move(roomID), on);
}

runtime::Task<void> HalvetStore::setRoomBrightness(QString roomID, double brightness)
{
    return owned(m_roomBrightness.setRoomBrightness(std::move(roomID), brightness));
}

} // namespace vantora
