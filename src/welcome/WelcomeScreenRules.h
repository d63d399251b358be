#pragma once

#include "welcome/ConnectionPillState.h"
#include "welcome/PulseCurve.h"

#include "bridge/DiscoveredBridge.h"
#include "onboarding/OnboardingPhase.h"

#include <QString>

#include <optional>
#include <vector>

// What the welcome screen shows and offers, as pure functions of the onboarding's state, so
// the screen's widgets only apply them.
namespace vantora::welcomeScreen {

// What the screen reads of the onboarding and of the lights panel's reset control.
struct Facts final {
    OnboardingPhase phase = OnboardingPhase::ready;
    std::optional<DiscoveredBridge> selectedBridge;
    // The short label of the store's failure kind.
    QString failureLabel;
    bool isUnexpectedFailure = false;
    bool hasFailureMessage = false;
    // A reset control is present and enabled.
    bool offersReset = false;
};

ConnectionPillState pillState(const Facts &facts);
QString instruction(const Facts &facts);
// On exactly while an attempt works (searching, connecting, pairing).
pulseCurve::PulseSwitch pulse(OnboardingPhase phase);
// The stage pulses only when the screen asks for it and the pill offers no first step.
pulseCurve::PulseSwitch stagePulse(pulseCurve::PulseSwitch requested, const ConnectionPillState &pill);

enum class PillAction {
    Nothing,
    Start,
    ChooseBridge,
    Retry,
};
PillAction pillAction(OnboardingPhase phase);

enum class BarButton {
    ConnectionHelp,
    EnterAddress,
    ResetConnection,
    Cancel,
};
// The buttons along the bottom edge, left to right; none in ready, choosingBridge and complete.
std::vector<BarButton> bottomBar(const Facts &facts);

enum class MenuEntry {
    CancelPairing,
    EnterAddress,
    FindBridge,
    ConnectionDetails,
    Divider,
    Quit,
};
std::vector<MenuEntry> contextMenu(const Facts &facts);

enum class AlertButton {
    Ok,
    EnterAddress,
    ResetConnection,
};
// The connection-details alert's buttons in order; Ok only closes it.
std::vector<AlertButton> detailsButtons(const Facts &facts);

// Whether a typed address may be connected to: something is left after trimming white space
// and line breaks. The address itself goes on untrimmed.
bool isConnectable(const QString &address);
// What is wrong with a typed address that is no IP address (a name, "300.1.2.3"), as its sheet
// says it: the form is checked on this computer before anything is tried, and no search or
// connection could put it right. None for an IP address, white space around it or not.
std::optional<QString> addressProblem(const QString &address);

} // namespace vantora::welcomeScreen
