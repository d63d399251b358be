#pragma once

#include <exception>

namespace vantora::platform {

// The server at the bridge's address presented a valid bridge certificate, but of another
// bridge than the one it was paired with.
class BridgeIdentityMismatch final : public std::exception {
public:
    const char *what() const noexcept override { return "The certificate names a different bridge."; }
};

} // namespace vantora::platform
