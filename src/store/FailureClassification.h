#pragma once

#include "bridge/HueError.h"
#include "runtime/Errors.h"
#include "store/AppFailureKind.h"

#include <QString>

#include <exception>
#include <optional>
#include <variant>

namespace vantora {

// What the store needs to know about a caught error, read once from the exception: how to
// show it, what to tell the user, whether it means the bridge connection is lost, and which
// issue code (if any) it leaves for the error report. Pure; needs no store.
class FailureClassification final {
public:
    // `error` must hold an exception. Errors of types the store does not know are
    // classified as unexpected, with a fixed message: their own text is never shown.
    explicit FailureClassification(const std::exception_ptr &error);

    // Task cancellation. It is never shown and changes no failure state.
    bool isCancellation() const noexcept;
    // A failure that a reconnection may repair: the bridge is not where it was, or another
    // bridge answers at its address.
    bool isConnectivityFailure() const noexcept;
    // Any network failure, a connectivity failure, a refused application key or a saved
    // bridge that discovery cannot find: the connection can no longer be trusted to work.
    bool meansConnectionLost() const noexcept;
    // The bridge refused the application key.
    bool isUnauthorized() const noexcept;
    // The keyring stayed locked: what it holds is there, but could not be read or changed.
    bool meansLockedKeyring() const noexcept;

    AppFailureKind kind() const noexcept;
    // The text shown to the user.
    QString message() const;
    // A short stable code for the error report, for unexpected failures only. It never
    // carries addresses, keys, names or text from the bridge.
    std::optional<QString> issueCode() const;
    // For an unexpected failure the person can mend on their own desktop (no keyring service
    // at all, or a keyring left locked), the message that says how; none for the others,
    // which only the report tells.
    std::optional<QString> issueExplanation() const;

private:
    struct Cancelled {};
    struct Undecodable {};
    struct Unknown {};

    bool isHueError(HueError::Kind kind) const noexcept;

    std::variant<Cancelled, HueError, runtime::NetworkErrorCode, Undecodable, Unknown> m_error;
};

} // namespace vantora
