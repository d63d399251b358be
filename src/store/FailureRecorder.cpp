#include "store/FailureRecorder.h"

#include "store/FailureClassification.h"
#include "store/StoreState.h"

namespace vantora {

FailureRecorder::FailureRecorder(StoreState &state, runtime::Clock &clock)
    : m_state(state)
    , m_clock(clock)
{
}

void FailureRecorder::record(const std::exception_ptr &error, AppIssue::Operation operation,
                             std::optional<QString> lightID, std::optional<LightChange> change)
{
    const FailureClassification failure(error);
    if (failure.isCancellation())
        return;
    ++m_state.failureRevision;
    m_state.failedLightID.set(std::move(lightID));
    m_state.failedLightChange.set(std::move(change));
    m_state.errorMessage.set(failure.message());
    m_state.failureKind.set(failure.kind());
    m_state.unexpectedIssue.set(AppIssue::unexpected(error, operation, m_clock.wallNow()));
    if (failure.meansConnectionLost()) {
        m_state.hasVerifiedConnection.set(false);
        m_state.needsConnectionRecovery.set(m_state.connection->has_value());
    }
    if (failure.isUnauthorized())
        m_state.requiresAuthorization.set(true);
}

void FailureRecorder::clear(std::optional<qint64> ifUnchanged)
{
    if (ifUnchanged && *ifUnchanged != m_state.failureRevision)
        return;
    m_state.errorMessage.set(std::nullopt);
    m_state.failedLightID.set(std::nullopt);
    m_state.failedLightChange.set(std::nullopt);
    m_state.failureKind.set(std::nullopt);
    m_state.unexpectedIssue.set(std::nullopt);
}

} // namespace vantora
