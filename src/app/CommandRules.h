#pragma once

#include "onboarding/OnboardingPhase.h"

namespace vantora {

// When the application's commands may run. They are disabled, never refused with a message.
namespace commandRules {

// A saved bridge can be forgotten and no onboarding attempt searches, connects or pairs.
bool canResetConnection(bool canForgetBridge, OnboardingPhase phase);
// Connected (a demonstration counts) and the store is not busy.
bool canRefreshLights(bool isConnected, bool isBusy);

} // namespace commandRules

} // namespace vantora
