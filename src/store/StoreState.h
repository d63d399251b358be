#pragma once

#include "bridge/BridgeAddress.h"
#include "bridge/BridgeConnection.h"
#include "bridge/BridgeInfo.h"
#include "bridge/HueSnapshot.h"
#include "bridge/LightChange.h"
#include "runtime/Clock.h"
#include "runtime/Property.h"
#include "store/AppFailureKind.h"
#include "store/AppIssue.h"
#include "store/ReconnectionThrottle.h"

#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

namespace vantora {

// The store's tracked properties, each announced on its own when it changes.
enum class StoreProperty {
    connection,
    snapshot,
    isRefreshing,
    isManagingConnection,
    isPairing,
    isChangingPower,
    updatingLightIDs,
    hasVerifiedConnection,
    requiresAuthorization,
    needsConnectionRecovery,
    lastUpdated,
    pendingBridge,
    pendingAddress,
    errorMessage,
    failedLightID,
    failedLightChange,
    notice,
    failureKind,
    unexpectedIssue,
};

// Everything the store knows, shared by the units that carry out its operations. Tracked
// properties announce a real change through `announce` (the snapshot announces every
// assignment); the bookkeeping below them is never announced. Main thread only.
struct StoreState final {
    using Announce = std::function<void(StoreProperty)>;

    // `afterNoticeAssigned` runs after every assignment of `notice`, changed or not.
    StoreState(Announce announce, std::function<void()> afterNoticeAssigned);
    StoreState(const StoreState &) = delete;
    StoreState &operator=(const StoreState &) = delete;

    // The identity of the state that asynchronous work started from. Work drops its result
    // when the epoch moved: the connection was replaced or forgotten, or lights were changed
    // locally meanwhile.
    struct Epoch {
        QUuid generation;
        qint64 revision = 0;
        bool operator==(const Epoch &) const = default;
    };

    // A refresh would be refused: another one runs, other work is busy, a bridge waits to be
    // paired or the bridge refused the application key.
    bool blocksRefresh() const;
    // Any work that excludes a refresh or a connection operation runs. Pairing is not
    // counted apart: it always runs as connection work.
    bool isWorking() const;
    // A connection is saved and nothing but (at most) a refresh runs.
    bool canForgetBridge() const;
    // Light and room controls must not be used.
    bool controlsLocked() const;

    Epoch epoch() const { return {generation, revision}; }
    // Makes all running work stale (a new generation, one more revision) and takes the
    // refresh slot away from a refresh in flight.
    void supersedeRunningWork();

    // Shows a change the bridge accepted: the first light with `lightID` takes it, in place
    // (the snapshot is announced once and never copied). Counts as a local change even when
    // no light has that id; the snapshot is then left alone and not announced.
    void patchLight(const QString &lightID, const LightChange &change);

    runtime::Property<std::optional<BridgeConnection>> connection;
    runtime::Property<HueSnapshot> snapshot;
    runtime::Property<bool> isRefreshing;
    runtime::Property<bool> isManagingConnection;
    runtime::Property<bool> isPairing;
    runtime::Property<bool> isChangingPower;
    runtime::Property<QSet<QString>> updatingLightIDs;
    runtime::Property<bool> hasVerifiedConnection;
    runtime::Property<bool> requiresAuthorization;
    runtime::Property<bool> needsConnectionRecovery;
    runtime::Property<std::optional<runtime::WallTime>> lastUpdated;
    runtime::Property<std::optional<BridgeInfo>> pendingBridge;
    runtime::Property<std::optional<BridgeAddress>> pendingAddress;
    runtime::Property<std::optional<QString>> errorMessage;
    runtime::Property<std::optional<QString>> failedLightID;
    runtime::Property<std::optional<LightChange>> failedLightChange;
    runtime::Property<std::optional<QString>> notice;
    runtime::Property<std::optional<AppFailureKind>> failureKind;
    runtime::Property<std::optional<AppIssue>> unexpectedIssue;

    // The current connection epoch.
    QUuid generation = QUuid::createUuid();
    // The refresh that owns `isRefreshing`.
    std::optional<QUuid> refreshID;
    // Grows with every local change, reconnection and forgetting.
    qint64 revision = 0;
    // Grows with every recorded failure; a success clears only the failure it started with.
    qint64 failureRevision = 0;
    // A connection paired in this run that the keyring did not take. It is kept until it is
    // saved, so that saving it again needs no second pairing (another user on the bridge,
    // another press of its button); only the end of the run loses it.
    std::optional<BridgeConnection> unsavedPairing;
    ReconnectionThrottle reconnectionThrottle;
};

} // namespace vantora
