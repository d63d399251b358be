#pragma once

#include <QString>

// The fixed texts of the onboarding, translated in the onboarding's context.
namespace vantora::onboardingTexts {

// Failure titles.
QString couldNotConnect();
QString noBridgeFound();
QString couldNotFindBridge();
QString somethingWentWrong();
QString bridgeNotConnected();

// Failure messages that no store operation supplies.
QString sameNetworkAdvice();
QString unexpectedResponse();
QString pressTheButton();

// The short labels of the failure kinds.
QString couldNotConnectLabel();
QString notPairedLabel();
QString checkAddressLabel();
QString couldNotContinueLabel();

} // namespace vantora::onboardingTexts
