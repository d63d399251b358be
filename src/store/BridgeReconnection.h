#pragma once

#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QString>

#include <optional>

namespace vantora {

class FailureRecorder;
struct StoreServices;
struct StoreState;

enum class Rediscovery {
    // Try the typed or saved address; without a typed address, fall back to discovery.
    off,
    // Find the saved bridge by discovery first.
    on,
};

// Reaches the saved bridge again, possibly at a new address: finds it (at the typed
// address, the saved one or by discovery), checks that it is still the same bridge, loads
// its lights and saves the connection when anything about it changed.
class BridgeReconnection final {
public:
    BridgeReconnection(StoreState &state, StoreServices &services, FailureRecorder &failures, runtime::Clock &clock);

    // Does nothing for a demonstration store, without a saved connection, or while
    // connection work, a power change or a light change runs; a refresh in flight is
    // superseded. Starting holds off the next automatic reconnection for 30 s. A failure is
    // recorded as a bridge check and leaves the saved connection as it was; a bridge that
    // refuses the saved key after proving its identity becomes the pending bridge, so that
    // it can be paired again at once.
    runtime::Task<void> reconnect(std::optional<QString> address, Rediscovery rediscovery);

private:
    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
    runtime::Clock &m_clock;
};

} // namespace vantora
