#pragma once

namespace vantora::platform {

// Why a bridge's certificate was refused.
enum class TrustRefusal {
    // A well-formed bridge certificate, but of another bridge than the paired one.
    identity,
    // Any other reason: wrong name, a chain that does not reach the roots, no certificate.
    certificate,
};

} // namespace vantora::platform
