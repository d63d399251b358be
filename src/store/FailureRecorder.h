#pragma once

#include "bridge/LightChange.h"
#include "runtime/Clock.h"
#include "store/AppIssue.h"

#include <QString>

#include <exception>
#include <optional>

namespace vantora {

struct StoreState;

// The one place where a failed operation becomes the store's failure state: the message,
// the failure kind, the light and change that failed, the issue of an unexpected failure,
// and the connection health flags. Cancellation changes nothing.
class FailureRecorder final {
public:
    FailureRecorder(StoreState &state, runtime::Clock &clock);

    // `lightID` and `change` name the light change that failed, if it was one. Replaces the
    // failed light, the failed change, the message, the kind and the issue as a whole, in
    // this order (so an expected failure also removes an earlier issue); then, when the
    // connection counts as lost, clears the verified flag and marks the saved connection (if
    // any) for recovery; then, for a refused key, asks for authorization.
    void record(const std::exception_ptr &error, AppIssue::Operation operation,
                std::optional<QString> lightID = std::nullopt, std::optional<LightChange> change = std::nullopt);

    // Removes the message, failed light and change, kind and issue. With `ifUnchanged`, only
    // when no failure was recorded since that failure revision was read. The connection
    // health flags are left alone.
    void clear(std::optional<qint64> ifUnchanged = std::nullopt);

private:
    StoreState &m_state;
    runtime::Clock &m_clock;
};

} // namespace vantora
