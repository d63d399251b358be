#include "onboarding/OnboardingTexts.h"

#include <QCoreApplication>

namespace vantora::onboardingTexts {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("vantora::BridgeOnboarding", text);
}

} // namespace

QString couldNotConnect()
{
    return translated("Couldn’t connect");
}

QString noBridgeFound()
{
    return translated("No Bridge found");
}

QString couldNotFindBridge()
{
    return translated("Couldn’t find your Bridge");
}

QString somethingWentWrong()
{
    return translated("Something went wrong");
}

QString bridgeNotConnected()
{
    return translated("Bridge not connected");
}

QString sameNetworkAdvice()
{
    return translated("Check that your computer and Hue Bridge are on the same network. "
                      "Make sure the Avahi service is running, then try again.");
}

QString unexpectedResponse()
{
    return translated("The app encountered an unexpected response. You can review an error report or try again.");
}

QString pressTheButton()
{
    return translated("Press the button on your Bridge and try again.");
}

// The labels end in three full stops, not an ellipsis character.
QString couldNotConnectLabel()
{
    return translated("Couldn’t connect...");
}

QString notPairedLabel()
{
    return translated("Not paired...");
}

QString checkAddressLabel()
{
    return translated("Check IP address");
}

QString couldNotContinueLabel()
{
    return translated("Couldn’t continue...");
}

} // namespace vantora::onboardingTexts
