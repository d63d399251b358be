#pragma once

namespace vantora {

// How a failure is shown to the user.
enum class AppFailureKind {
    // The bridge could not be reached, refused the request or is not the expected one.
    connection,
    // Pairing waits for the bridge's link button.
    pairing,
    // The typed IP address is not valid.
    invalidAddress,
    // Anything else; comes with an AppIssue for the error report.
    unexpected,
};

} // namespace vantora
