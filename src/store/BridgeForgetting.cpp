#include "store/BridgeForgetting.h"

#include "store/FailureRecorder.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

namespace vantora {

BridgeForgetting::BridgeForgetting(StoreState &state, StoreServices &services, FailureRecorder &failures)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
{
}

void BridgeForgetting::disconnect()
{
    if (m_services.isDemo() || !m_state.canForgetBridge())
        return;
    try {
        m_services.storage->remove();
    } catch (...) {
        m_failures.record(std::current_exception(), AppIssue::Operation::forgetBridge);
        return;
    }
    m_state.supersedeRunningWork();
    m_state.connection.set(std::nullopt);
    m_state.snapshot.setAlways(HueSnapshot{});
    m_state.lastUpdated.set(std::nullopt);
    m_state.pendingBridge.set(std::nullopt);
    m_state.pendingAddress.set(std::nullopt);
    m_state.notice.set(std::nullopt);
    m_state.hasVerifiedConnection.set(false);
    m_state.requiresAuthorization.set(false);
    m_state.needsConnectionRecovery.set(false);
    m_state.reconnectionThrottle.reset();
    m_failures.clear();
}

} // namespace vantora
