#pragma once

namespace vantora {

// Where the first connection (or the recovery of a lost one) stands.
enum class OnboardingPhase {
    // Nothing runs; an attempt may start.
    ready,
    // A search runs (in a preview, its scripted wait).
    searching,
    // The search found several bridges; the user picks one.
    choosingBridge,
    // The store checks the bridge at an address, or reconnects to the saved bridge.
    connecting,
    // The store waits for the link button of the selected bridge.
    pairing,
    // The search found no bridge.
    notFound,
    // The last attempt failed; the failure texts say why.
    failed,
    // The bridge is connected.
    complete,
};

// Searching, connecting and pairing: while one of them holds, no new attempt starts.
constexpr bool isWorkingPhase(OnboardingPhase phase)
{
    return phase == OnboardingPhase::searching || phase == OnboardingPhase::connecting
        || phase == OnboardingPhase::pairing;
}

} // namespace vantora
