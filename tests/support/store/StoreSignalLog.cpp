#include "StoreSignalLog.h"

#include <utility>

namespace vantora::testing {

StoreSignalLog::StoreSignalLog(HalvetStore &store)
{
    using Signal = void (HalvetStore::*)();
    const std::pair<Signal, const char *> changeSignals[] = {
        {&HalvetStore::connectionChanged, "connection"},
        {&HalvetStore::snapshotChanged, "snapshot"},
        {&HalvetStore::isRefreshingChanged, "isRefreshing"},
        {&HalvetStore::isManagingConnectionChanged, "isManagingConnection"},
        {&HalvetStore::isPairingChanged, "isPairing"},
        {&HalvetStore::isChangingPowerChanged, "isChangingPower"},
        {&HalvetStore::updatingLightIDsChanged, "updatingLightIDs"},
        {&HalvetStore::hasVerifiedConnectionChanged, "hasVerifiedConnection"},
        {&HalvetStore::requiresAuthorizationChanged, "requiresAuthorization"},
        {&HalvetStore::needsConnectionRecoveryChanged, "needsConnectionRecovery"},
        {&HalvetStore::lastUpdatedChanged, "lastUpdated"},
        {&HalvetStore::pendingBridgeChanged, "pendingBridge"},
        {&HalvetStore::pendingAddressChanged, "pendingAddress"},
        {&HalvetStore::errorMessageChanged, "errorMessage"},
        {&HalvetStore::failedLightIDChanged, "failedLightID"},
        {&HalvetStore::failedLightChangeChanged, "failedLightChange"},
        {&HalvetStore::noticeChanged, "notice"},
        {&HalvetStore::failureKindChanged, "failureKind"},
        {&HalvetStore::unexpectedIssueChanged, "unexpectedIssue"},
    };
    for (const auto &[signal, name] : changeSignals) {
        const QString property = QString::fromLatin1(name);
        connect(&store, signal, this, [this, property] { m_names.append(property); });
    }
}

} // namespace vantora::testing
