#include "store/LightsRefresh.h"

#include "store/BridgeReconnection.h"
#include "store/FailureClassification.h"
#include "store/FailureRecorder.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

namespace vantora {

LightsRefresh::LightsRefresh(StoreState &state, StoreServices &services, FailureRecorder &failures,
                             BridgeReconnection &reconnection, runtime::Clock &clock, runtime::TaskScope &tasks)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
    , m_reconnection(reconnection)
    , m_clock(clock)
    , m_tasks(tasks)
{
}

runtime::Task<void> LightsRefresh::refresh()
{
    if (m_state.blocksRefresh())
        co_return;
    if (m_services.isDemo()) {
        m_state.lastUpdated.set(m_clock.wallNow());
        co_return;
    }
    if (!m_state.connection->has_value())
        co_return;

    const BridgeConnection connection = **m_state.connection;
    const QUuid refreshID = QUuid::createUuid();
    const StoreState::Epoch started = m_state.epoch();
    const qint64 failureRevision = m_state.failureRevision;
    m_state.refreshID = refreshID;
    m_state.isRefreshing.set(true);

    std::exception_ptr failure;
    try {
        const std::shared_ptr<LightService> service = m_services.serviceFactory(connection);
        HueSnapshot snapshot = co_await service->snapshot();
        co_await runtime::checkCancellation();
        if (m_state.epoch() == started) {
            m_state.snapshot.setAlways(std::move(snapshot));
            m_state.lastUpdated.set(m_clock.wallNow());
            m_state.hasVerifiedConnection.set(true);
            m_state.requiresAuthorization.set(false);
            m_state.needsConnectionRecovery.set(false);
            // A failure that another operation recorded meanwhile stays visible.
            m_failures.clear(failureRevision);
        }
    } catch (...) {
        failure = std::current_exception();
    }

    bool wantsRecovery = false;
    if (failure && m_state.epoch() == started) {
        m_failures.record(failure, AppIssue::Operation::refresh);
        wantsRecovery = m_services.automaticallyReconnect == AutomaticReconnection::on
            && FailureClassification(failure).isConnectivityFailure()
            && m_state.reconnectionThrottle.allows(m_clock.steadyNow());
    }
    if (m_state.refreshID == refreshID) {
        m_state.refreshID.reset();
        m_state.isRefreshing.set(false);
    }
    if (!wantsRecovery || m_state.generation != started.generation)
        co_return;
    const bool cancelled = co_await runtime::isCancelled();
    if (cancelled)
        co_return;
    // The failure just recorded makes an open panel give up its refresh loop, which cancels
    // the refresh the loop awaits. The recovery must outlive that: it runs as a task of its
    // own, and the refresh still waits for it.
    co_await m_tasks.spawn(m_reconnection.reconnect(std::nullopt, Rediscovery::on)).join();
}

} // namespace vantora
