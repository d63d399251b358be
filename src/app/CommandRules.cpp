#include "app/CommandRules.h"

namespace vantora::commandRules {

bool canResetConnection(bool canForgetBridge, OnboardingPhase phase)
{
    const bool attemptRuns =
        phase == OnboardingPhase::searching || phase == OnboardingPhase::connecting || phase == OnboardingPhase::pairing;
    return canForgetBridge && !attemptRuns;
}

bool canRefreshLights(bool isConnected, bool isBusy)
{
    return isConnected && !isBusy;
}

} // namespace vantora::commandRules
