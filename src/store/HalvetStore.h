#pragma once

#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "runtime/TaskScope.h"
#include "store/BridgeForgetting.h"
#include "store/BridgePairing.h"
#include "store/BridgeReconnection.h"
#include "store/FailureRecorder.h"
#include "store/LightWorkers.h"
#include "store/LightsRefresh.h"
#include "store/NoticeDismissal.h"
#include "store/PowerSwitching.h"
#include "store/RoomBrightness.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

#include <QObject>

namespace vantora {

// The application's model: the saved bridge connection, the lights as last read, the busy
// flags, the failure and notice texts, and every action on them. Views read its properties,
// listen to one change signal per property (emitted only on a real change, right after the
// value is stored, in assignment order; `snapshotChanged` on every assignment) and call its
// actions. Main thread only.
//
// The asynchronous actions run as tasks the store owns: awaiting one waits for it, and
// cancelling the awaiting task cancels it. Destroying the store drops its running tasks
// without resuming them.
// When a live store first reads the saved connection.
enum class SavedConnectionRead {
    // In the constructor, synchronously.
    atConstruction,
    // At the first readSavedConnectionAgain(), without blocking; until it ends, the store
    // counts as managing its connection and awaits the saved one.
    whenAsked,
};

class HalvetStore final : public QObject {
    Q_OBJECT
public:
    // A live store reads the saved connection from `storage` as `read` says; a failure to
    // read it is recorded as a failure at launch and the store goes on without a connection
    // (see readSavedConnectionAgain). A demonstration store shows `demoSnapshot` as a
    // verified home and never touches storage. No request is made and no task is started.
    HalvetStore(StoreMode mode, HueSnapshot demoSnapshot, std::unique_ptr<ConnectionStorage> storage,
                LightServiceFactory serviceFactory, PairingServiceFactory pairingServiceFactory, BridgeSearch discover,
                AutomaticReconnection automaticallyReconnect, runtime::Clock &clock = runtime::systemClock(),
                runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr,
                SavedConnectionRead read = SavedConnectionRead::atConstruction);
    ~HalvetStore() override;

    // The saved connection; none when no bridge is paired.
    const std::optional<BridgeConnection> &connection() const { return *m_state.connection; }
    const HueSnapshot &snapshot() const { return *m_state.snapshot; }
    bool isRefreshing() const { return *m_state.isRefreshing; }
    // A check, pairing or reconnection runs.
    bool isManagingConnection() const { return *m_state.isManagingConnection; }
    bool isPairing() const { return *m_state.isPairing; }
    bool isChangingPower() const { return *m_state.isChangingPower; }
    const QSet<QString> &updatingLightIDs() const { return *m_state.updatingLightIDs; }
    // The bridge has answered on the current connection.
    bool hasVerifiedConnection() const { return *m_state.hasVerifiedConnection; }
    // The bridge refused the application key; refreshing waits for a new pairing.
    bool requiresAuthorization() const { return *m_state.requiresAuthorization; }
    bool needsConnectionRecovery() const { return *m_state.needsConnectionRecovery; }
    // When the lights were last read (for a demonstration store: last asked for).
    const std::optional<runtime::WallTime> &lastUpdated() const { return *m_state.lastUpdated; }
    // A checked bridge waiting to be paired, and where it answered; set and cleared together.
    const std::optional<BridgeInfo> &pendingBridge() const { return *m_state.pendingBridge; }
    const std::optional<BridgeAddress> &pendingAddress() const { return *m_state.pendingAddress; }
    const std::optional<QString> &errorMessage() const { return *m_state.errorMessage; }
    const std::optional<QString> &failedLightID() const { return *m_state.failedLightID; }
    const std::optional<LightChange> &failedLightChange() const { return *m_state.failedLightChange; }
    // Cleared 5 s after it was last assigned.
    const std::optional<QString> &notice() const { return *m_state.notice; }
    const std::optional<AppFailureKind> &failureKind() const { return *m_state.failureKind; }
    const std::optional<AppIssue> &unexpectedIssue() const { return *m_state.unexpectedIssue; }

    void setNotice(std::optional<QString> notice) { m_state.notice.set(std::move(notice)); }
    void setErrorMessage(std::optional<QString> message) { m_state.errorMessage.set(std::move(message)); }
    // Where the application shell puts an issue that no operation recorded, such as an
    // unclean end of the last run.
    void setUnexpectedIssue(std::optional<AppIssue> issue) { m_state.unexpectedIssue.set(std::move(issue)); }

    // Reads the saved connection again when it could not be read at launch (the keyring had
    // not come yet, or was locked), or for the first time when the store was told to await
    // it, without blocking: the keyring may ask the person to unlock it first, and the
    // windows go on meanwhile. Answers whether it was read now. Once read,
    // the connection (none when none is saved; a bridge paired meanwhile stays) is the
    // store's and the launch's failure goes, unless another has replaced it. A read that
    // fails the same way leaves the failure shown as it is; one that fails otherwise, or
    // after the failure was dismissed, records it anew. Does nothing, answering false, once
    // the saved connection was read or while another such read waits.
    runtime::Task<bool> readSavedConnectionAgain();
    // The saved connection could not be read because the keyring stayed locked (its unlock
    // prompt was cancelled): one is saved, and pairing would replace it.
    bool savedConnectionIsLocked() const { return m_unreadSavedConnection && m_unreadBecauseLocked; }
    // The saved connection was never read yet (see SavedConnectionRead::whenAsked): that none
    // is there means nothing yet.
    bool awaitsSavedConnection() const { return m_awaitsFirstRead; }

    bool isDemo() const { return m_services.isDemo(); }
    // A connection is saved, or this is a demonstration store.
    bool isConnected() const { return connection().has_value() || isDemo(); }
    bool isWorking() const { return m_state.isWorking(); }
    bool canForgetBridge() const { return m_state.canForgetBridge(); }
    bool controlsLocked() const { return m_state.controlsLocked(); }

    // Failure rules, usable without a store.
    static bool isCancellation(const std::exception_ptr &error);
    static QString describe(const std::exception_ptr &error);
    static bool isConnectivityFailure(const std::exception_ptr &error);

    // See FailureRecorder.
    void recordFailure(const std::exception_ptr &error, AppIssue::Operation operation,
                       std::optional<QString> lightID = std::nullopt, std::optional<LightChange> change = std::nullopt);
    void clearFailure(std::optional<qint64> ifUnchanged = std::nullopt);

    // See LightsRefresh.
    runtime::Task<void> refresh();
    // See BridgePairing.
    runtime::Task<void> prepareConnection(QString address);
    runtime::Task<void> pair();
    void cancelPreparation();
    // See BridgeReconnection.
    runtime::Task<void> reconnect(std::optional<QString> address, Rediscovery rediscovery);
    // Forgets the saved bridge (see BridgeForgetting). Hides QObject::disconnect: to cut a
    // signal connection to the store, call QObject::disconnect with the connection.
    runtime::Task<void> disconnect();
    // A bridge was paired in this run, but the keyring did not take its connection yet; the
    // next pairing with that bridge saves it without asking the bridge again.
    bool hasUnsavedPairing() const { return m_state.unsavedPairing.has_value(); }

    // Asks for `change` of the light with the id of `light` (see LightWorkers::apply) and
    // returns the light's worker, for those who wait for the change to reach the bridge.
    std::optional<runtime::TaskHandle<void>> apply(const LightChange &change, const HueLight &light);
    // Applies `change` and waits for the light's worker, if one was started or joined.
    runtime::Task<void> updateLight(const HueLight &light, LightChange change);
    // Switches one light, as a change that only switches; such changes are never paced.
    runtime::Task<void> setLight(const HueLight &light, bool on);

    // Switches the lights of the room `roomID`, or all lights without one (see PowerSwitching).
    runtime::Task<void> setPower(std::optional<QString> roomID, bool on);
    runtime::Task<void> allOn();
    runtime::Task<void> allOff();
    runtime::Task<void> setAllLights(bool on);
    runtime::Task<void> setRoomPower(QString roomID, bool on);
    // See RoomBrightness.
    runtime::Task<void> setRoomBrightness(QString roomID, double brightness);

Q_SIGNALS:
    void connectionChanged();
    void snapshotChanged();
    void isRefreshingChanged();
    void isManagingConnectionChanged();
    void isPairingChanged();
    void isChangingPowerChanged();
    void updatingLightIDsChanged();
    void hasVerifiedConnectionChanged();
    void requiresAuthorizationChanged();
    void needsConnectionRecoveryChanged();
    void lastUpdatedChanged();
    void pendingBridgeChanged();
    void pendingAddressChanged();
    void errorMessageChanged();
    void failedLightIDChanged();
    void failedLightChangeChanged();
    void noticeChanged();
    void failureKindChanged();
    void unexpectedIssueChanged();

private:
    void announce(StoreProperty property);
    // Runs `operation` as a task of the store and waits for it.
    runtime::Task<void> owned(runtime::Task<void> operation);

    runtime::Clock &m_clock;
    StoreServices m_services;
    StoreState m_state;
    NoticeDismissal m_noticeDismissal;
    FailureRecorder m_failures;
    BridgeReconnection m_reconnection;
    LightsRefresh m_refresh;
    BridgePairing m_pairing;
    BridgeForgetting m_forgetting;
    LightWorkers m_workers;
    // The failure revision of the failed launch read, while the saved connection is unread.
    std::optional<qint64> m_unreadSavedConnection;
    bool m_readingSavedConnection = false;
    bool m_unreadBecauseLocked = false;
    bool m_awaitsFirstRead = false;
    PowerSwitching m_power;
    RoomBrightness m_roomBrightness;
    // Last: destroyed first, so no task outlives what it works on.
    runtime::TaskScope m_tasks;
};

} // namespace vantora
