#pragma once

#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QString>

namespace vantora {

class FailureRecorder;
struct StoreServices;
struct StoreState;

// The first connection to a bridge: checking the bridge at an address, which makes it the
// pending bridge, then pairing with it by its link button, which saves and publishes the
// new connection and loads its lights.
class BridgePairing final {
public:
    BridgePairing(StoreState &state, StoreServices &services, FailureRecorder &failures, runtime::Clock &clock);

    // Reads the identity of the bridge at the typed address and keeps it as the pending
    // bridge. Does nothing for a demonstration store or while work runs; with a connection
    // already saved it only reports that one bridge is supported. Failures (an invalid
    // address included) are recorded as a bridge check and leave no pending bridge.
    runtime::Task<void> prepareConnection(QString address);

    // Pairs with the pending bridge. Does nothing for a demonstration store, while work runs
    // or without a pending bridge; refuses a bridge other than the saved one. The new
    // connection is saved, without blocking, before anything is published: when saving fails,
    // nothing is published and the pending bridge stays, but the key the bridge gave is kept
    // (see StoreState::unsavedPairing) and the next pairing with that bridge saves it instead
    // of asking the bridge again. A failure to load the first lights leaves the new
    // connection saved and published, but not verified.
    runtime::Task<void> pair();

    // Drops the pending bridge, unless connection work runs; without a saved connection it
    // also removes the failure of the abandoned first connection.
    void cancelPreparation();

private:
    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
    runtime::Clock &m_clock;
};

} // namespace vantora
