#pragma once

#include "runtime/Clock.h"
#include "runtime/Task.h"
#include "runtime/TaskScope.h"

namespace vantora {

class BridgeReconnection;
class FailureRecorder;
struct StoreServices;
struct StoreState;

// Reads the lights from a fresh light service and publishes them, unless the connection
// was replaced or forgotten, or lights were changed locally, while the request ran; then
// the answer, success or failure, is dropped without a trace.
class LightsRefresh final {
public:
    // `tasks` is the store's own scope, which the reconnection a refresh starts runs in.
    LightsRefresh(StoreState &state, StoreServices &services, FailureRecorder &failures,
                  BridgeReconnection &reconnection, runtime::Clock &clock, runtime::TaskScope &tasks);

    // Returns at once, changing nothing, while a refresh or other work runs, while a bridge
    // waits to be paired, after the bridge refused the key, or without a connection; a
    // demonstration store only moves its last-updated time. A failure is recorded; when it
    // means the bridge is no longer where it was, automatic reconnection is on and none
    // started in the last 30 s, a reconnection by discovery follows and is awaited. That
    // reconnection is the store's own task: cancelling the refresh once it has started does
    // not cancel it. Cancellation is never shown and never reconnects.
    runtime::Task<void> refresh();

private:
    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
    BridgeReconnection &m_reconnection;
    runtime::Clock &m_clock;
    runtime::TaskScope &m_tasks;
};

} // namespace vantora
