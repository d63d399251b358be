#pragma once

#include "runtime/Task.h"

namespace vantora {

class FailureRecorder;
struct StoreServices;
struct StoreState;

// Forgets the saved bridge: removes the stored connection and returns the store to its
// unpaired state.
class BridgeForgetting final {
public:
    BridgeForgetting(StoreState &state, StoreServices &services, FailureRecorder &failures);

    // Does nothing for a demonstration store or when the bridge cannot be forgotten now
    // (nothing saved, connection work, a power change or a light change running). The
    // stored connection is removed first, without blocking: the keyring may ask the person
    // to unlock it, and the removal counts as connection work meanwhile. When the removal
    // fails (or is cancelled), the failure is recorded and nothing else changes. A refresh in
    // flight is superseded and its answer dropped.
    runtime::Task<void> disconnect();

private:
    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
};

} // namespace vantora
