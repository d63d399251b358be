#include "welcome/WelcomeScreenRules.h"

#include "welcome/WelcomeScreenTexts.h"

#include "bridge/BridgeAddress.h"
#include "bridge/HueError.h"
#include "onboarding/OnboardingTexts.h"

namespace vantora::welcomeScreen {

using Phase = OnboardingPhase;
using Texts = WelcomeScreenTexts;

ConnectionPillState pillState(const Facts &facts)
{
    switch (facts.phase) {
    case Phase::ready:
    case Phase::complete:
        return ConnectionPillState::ready();
    case Phase::searching:
    case Phase::connecting:
        return ConnectionPillState::searching();
    case Phase::choosingBridge:
        return ConnectionPillState::choose();
    case Phase::pairing:
        // Pairing without a known bridge still names one, so the pill never goes blank.
        if (facts.selectedBridge)
            return ConnectionPillState::found(facts.selectedBridge->name, facts.selectedBridge->address);
        return ConnectionPillState::found(Texts::defaultBridgeName(), QString());
    case Phase::notFound:
        return ConnectionPillState::retry(Texts::nothingFound());
    case Phase::failed:
        return ConnectionPillState::retry(facts.failureLabel);
    }
    Q_UNREACHABLE();
}

QString instruction(const Facts &facts)
{
    switch (facts.phase) {
    case Phase::ready:
    case Phase::complete:
        return Texts::pressAndPair();
    case Phase::searching:
    case Phase::connecting:
    case Phase::pairing:
        return Texts::pressToPair();
    case Phase::choosingBridge:
        return Texts::chooseOne();
    case Phase::notFound:
        return Texts::checkNetwork();
    case Phase::failed:
        return facts.isUnexpectedFailure ? Texts::tryAgainWithDetails() : Texts::checkConnection();
    }
    Q_UNREACHABLE();
}

pulseCurve::PulseSwitch pulse(OnboardingPhase phase)
{
    return isWorkingPhase(phase) ? pulseCurve::PulseSwitch::On : pulseCurve::PulseSwitch::Off;
}

pulseCurve::PulseSwitch stagePulse(pulseCurve::PulseSwitch requested, const ConnectionPillState &pill)
{
    if (requested == pulseCurve::PulseSwitch::On && pill.kind() != ConnectionPillState::Case::Ready)
        return pulseCurve::PulseSwitch::On;
    return pulseCurve::PulseSwitch::Off;
}

PillAction pillAction(OnboardingPhase phase)
{
    switch (phase) {
    case Phase::ready:
    case Phase::complete:
        return PillAction::Start;
    case Phase::choosingBridge:
        return PillAction::ChooseBridge;
    case Phase::notFound:
    case Phase::failed:
        return PillAction::Retry;
    case Phase::searching:
    case Phase::connecting:
    case Phase::pairing:
        return PillAction::Nothing;
    }
    Q_UNREACHABLE();
}

std::vector<BarButton> bottomBar(const Facts &facts)
{
    if (isWorkingPhase(facts.phase))
        return {BarButton::Cancel};
    if (facts.phase != Phase::notFound && facts.phase != Phase::failed)
        return {};
    std::vector<BarButton> buttons{BarButton::ConnectionHelp, BarButton::EnterAddress};
    if (facts.offersReset)
        buttons.push_back(BarButton::ResetConnection);
    return buttons;
}

std::vector<MenuEntry> contextMenu(const Facts &facts)
{
    std::vector<MenuEntry> entries;
    if (isWorkingPhase(facts.phase))
        entries.push_back(MenuEntry::CancelPairing);
    else
        entries.insert(entries.end(), {MenuEntry::EnterAddress, MenuEntry::FindBridge});
    if (facts.hasFailureMessage)
        entries.push_back(MenuEntry::ConnectionDetails);
    entries.insert(entries.end(), {MenuEntry::Divider, MenuEntry::Quit});
    return entries;
}

std::vector<AlertButton> detailsButtons(const Facts &facts)
{
    std::vector<AlertButton> buttons{AlertButton::Ok, AlertButton::EnterAddress};
    if (facts.offersReset)
        buttons.push_back(AlertButton::ResetConnection);
    return buttons;
}

bool isConnectable(const QString &address)
{
    // QString::trimmed drops every Unicode white space, line breaks included.
    return !address.trimmed().isEmpty();
}

std::optional<QString> addressProblem(const QString &address)
{
    try {
        BridgeAddress::validated(address);
    } catch (const HueError &error) {
        // The words the store would record for it, after the label the failed pill would show.
        return onboardingTexts::checkAddressLabel() + QStringLiteral(". ") + error.errorDescription();
    }
    return std::nullopt;
}

} // namespace vantora::welcomeScreen
