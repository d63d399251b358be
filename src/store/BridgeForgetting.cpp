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

runtime::Task<void> BridgeForgetting::disconnect()
{
    if (m_services.isDemo() || !m_state.canForgetBridge())
        co_return;
    m_state.isManagingConnection.set(true);
    std::exception_ptr failure;
    try {
        co_await m_services.storage->removeWithoutBlocking();
    } catch (...) {
        failure = std::current_exception();
    }
    m_state.isManagingConnection.set(false);
    if (failure) {
        m_failures.record(failure, AppIssue::Operation::forgetBridge);
        co_return;
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
