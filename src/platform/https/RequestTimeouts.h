#pragma once

#include <chrono>

namespace vantora::platform {

// How long one request may take before it fails with NetworkErrorCode::timedOut.
struct RequestTimeouts {
    // The longest time without progress: connecting, the handshake, or the wait for the
    // next bytes sent or received.
    std::chrono::milliseconds idle{10'000};
    // The longest time for the whole exchange, however steadily it progresses.
    std::chrono::milliseconds total{15'000};

    bool operator==(const RequestTimeouts &) const = default;
};

} // namespace vantora::platform
