#include "onboarding/OnboardingState.h"

#include "onboarding/OnboardingTexts.h"

namespace vantora {

OnboardingState::OnboardingState(const Announce &announce)
    : phase(OnboardingPhase::ready, [announce] { announce(OnboardingProperty::phase); })
    , bridges({}, [announce] { announce(OnboardingProperty::bridges); })
    , failureTitle(onboardingTexts::couldNotConnect(), [announce] { announce(OnboardingProperty::failureTitle); })
    , failureMessage(QString(), [announce] { announce(OnboardingProperty::failureMessage); })
    , selectedBridge(std::nullopt, [announce] { announce(OnboardingProperty::selectedBridge); })
    , retryAddress(std::nullopt, [announce] { announce(OnboardingProperty::retryAddress); })
    , isRecovering(false, [announce] { announce(OnboardingProperty::isRecovering); })
    , awaitsFirstLights(false, [announce] { announce(OnboardingProperty::awaitsFirstLights); })
{
}

} // namespace vantora
