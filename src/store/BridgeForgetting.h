#pragma once

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
    // stored connection is removed first: when that fails, the failure is recorded and
    // nothing else changes. A refresh in flight is superseded and its answer dropped.
    void disconnect();

private:
    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
};

} // namespace vantora
