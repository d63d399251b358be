#pragma once

#include "runtime/Clock.h"

#include <chrono>
#include <optional>

namespace vantora {

// Keeps automatic reconnections at least 30 s apart. Measured on the steady clock, so that
// setting the system clock back can never hold recovery off.
class ReconnectionThrottle final {
public:
    static constexpr std::chrono::seconds interval{30};

    // True until the first reconnection, and again from 30 s after the latest one started.
    bool allows(runtime::SteadyTime now) const { return !m_notBefore || now >= *m_notBefore; }
    void reconnectionStarted(runtime::SteadyTime now) { m_notBefore = now + interval; }
    // After the bridge is forgotten, a new connection may recover at once.
    void reset() { m_notBefore.reset(); }

private:
    std::optional<runtime::SteadyTime> m_notBefore;
};

} // namespace vantora
