#include "welcome/WelcomeScreenRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantora;
using namespace vantora::welcomeScreen;
using Phase = OnboardingPhase;
using pulseCurve::PulseSwitch;

namespace {

const QString pressAndPair = QStringLiteral("Press the large button on your Hue Bridge,\nthen select Pair Bridge below.");
const QString pressToPair = QStringLiteral("Press the large button on Hue Bridge\nto start the pairing.");
const QString couldNotConnect = QString::fromUtf8("Couldn’t connect...");
const DiscoveredBridge upstairs{QStringLiteral("001788fffe000001"), QStringLiteral("Upstairs"), QStringLiteral("10.0.0.7")};

Facts inPhase(Phase phase)
{
    Facts facts;
    facts.phase = phase;
    facts.failureLabel = couldNotConnect;
    return facts;
}

} // namespace

TEST(WelcomeScreenRules, EachPhaseHasItsPillInstructionPulseAndBottomBar)
{
    using Bar = std::vector<BarButton>;
    const Bar helpRow{BarButton::ConnectionHelp, BarButton::EnterAddress};
    struct Row {
        std::string name;
        Facts facts;
        ConnectionPillState pill;
        QString instruction;
        PulseSwitch pulse;
        Bar bar;
    };
    Facts pairingWithBridge = inPhase(Phase::pairing);
    pairingWithBridge.selectedBridge = upstairs;
    Facts unexpected = inPhase(Phase::failed);
    unexpected.isUnexpectedFailure = true;
    unexpected.failureLabel = QString::fromUtf8("Couldn’t continue...");
    Facts failedWithReset = inPhase(Phase::failed);
    failedWithReset.offersReset = true;
    Facts searchingWithReset = inPhase(Phase::searching);
    searchingWithReset.offersReset = true;

    const Row rows[] = {
        {"ready", inPhase(Phase::ready), ConnectionPillState::ready(), pressAndPair, PulseSwitch::Off, {}},
        {"searching", inPhase(Phase::searching), ConnectionPillState::searching(), pressToPair, PulseSwitch::On,
         {BarButton::Cancel}},
        {"choosing a bridge", inPhase(Phase::choosingBridge), ConnectionPillState::choose(),
         QStringLiteral("More than one Hue Bridge is nearby.\nChoose the one you want to connect."), PulseSwitch::Off, {}},
        {"connecting pulses though the pill searches", inPhase(Phase::connecting), ConnectionPillState::searching(),
         pressToPair, PulseSwitch::On, {BarButton::Cancel}},
        {"pairing with the selected bridge", pairingWithBridge,
         ConnectionPillState::found(QStringLiteral("Upstairs"), QStringLiteral("10.0.0.7")), pressToPair,
         PulseSwitch::On, {BarButton::Cancel}},
        {"pairing without a selected bridge", inPhase(Phase::pairing),
         ConnectionPillState::found(QStringLiteral("Hue Bridge"), QString()), pressToPair, PulseSwitch::On,
         {BarButton::Cancel}},
        {"nothing found", inPhase(Phase::notFound), ConnectionPillState::retry(QStringLiteral("Nothing found...")),
         QStringLiteral("Check your Bridge is on the same network,\nthen select Try again below."), PulseSwitch::Off,
         helpRow},
        {"failed to connect", inPhase(Phase::failed), ConnectionPillState::retry(couldNotConnect),
         QStringLiteral("Check your Bridge connection,\nthen select Try again below."), PulseSwitch::Off, helpRow},
        {"failed unexpectedly", unexpected, ConnectionPillState::retry(QString::fromUtf8("Couldn’t continue...")),
         QStringLiteral("Please try again.\nYou can also view the error details."), PulseSwitch::Off, helpRow},
        {"failed with a reset offered", failedWithReset, ConnectionPillState::retry(couldNotConnect),
         QStringLiteral("Check your Bridge connection,\nthen select Try again below."), PulseSwitch::Off,
         {BarButton::ConnectionHelp, BarButton::EnterAddress, BarButton::ResetConnection}},
        {"a reset offered while searching stays out of the bar", searchingWithReset, ConnectionPillState::searching(),
         pressToPair, PulseSwitch::On, {BarButton::Cancel}},
        {"complete looks like ready", inPhase(Phase::complete), ConnectionPillState::ready(), pressAndPair,
         PulseSwitch::Off, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(pillState(row.facts), row.pill);
        EXPECT_EQ(instruction(row.facts), row.instruction);
        EXPECT_EQ(pulse(row.facts.phase), row.pulse);
        EXPECT_EQ(bottomBar(row.facts), row.bar);
    }
}

TEST(WelcomeScreenRules, TheStagePulsesOnlyWhenAskedAndPastTheFirstStep)
{
    struct Row {
        std::string name;
        PulseSwitch requested;
        ConnectionPillState pill;
        PulseSwitch expected;
    };
    const Row rows[] = {
        {"searching", PulseSwitch::On, ConnectionPillState::searching(), PulseSwitch::On},
        {"ready never pulses", PulseSwitch::On, ConnectionPillState::ready(), PulseSwitch::Off},
        {"not asked", PulseSwitch::Off, ConnectionPillState::choose(), PulseSwitch::Off},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(stagePulse(row.requested, row.pill), row.expected);
    }
}

TEST(WelcomeScreenRules, TheContextMenuFollowsThePhaseAndTheFailureMessage)
{
    using Menu = std::vector<MenuEntry>;
    const Menu idle{MenuEntry::EnterAddress, MenuEntry::FindBridge, MenuEntry::Divider, MenuEntry::Quit};
    const Menu working{MenuEntry::CancelPairing, MenuEntry::Divider, MenuEntry::Quit};
    struct Row {
        std::string name;
        Phase phase;
        bool hasFailureMessage;
        Menu menu;
    };
    const Row rows[] = {
        {"ready", Phase::ready, false, idle},
        {"searching", Phase::searching, false, working},
        {"choosing a bridge", Phase::choosingBridge, false, idle},
        {"connecting", Phase::connecting, false, working},
        {"pairing", Phase::pairing, false, working},
        {"nothing found, no message", Phase::notFound, false, idle},
        {"failed", Phase::failed, true,
         {MenuEntry::EnterAddress, MenuEntry::FindBridge, MenuEntry::ConnectionDetails, MenuEntry::Divider,
          MenuEntry::Quit}},
        {"complete", Phase::complete, false, idle},
        {"pairing again after a failure",
         Phase::pairing, true, {MenuEntry::CancelPairing, MenuEntry::ConnectionDetails, MenuEntry::Divider, MenuEntry::Quit}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Facts facts = inPhase(row.phase);
        facts.hasFailureMessage = row.hasFailureMessage;
        EXPECT_EQ(contextMenu(facts), row.menu);
    }
}

TEST(WelcomeScreenRules, AnAddressIsConnectableWhenSomethingIsLeftAfterTrimming)
{
    struct Row {
        std::string name;
        QString address;
        bool connectable;
    };
    const Row rows[] = {
        {"empty", QString(), false},
        {"spaces and line breaks", QStringLiteral("  \n\t \r\n"), false},
        {"a non-breaking space", QString(QChar(0x00A0)), false},
        {"spaces around an address", QStringLiteral("  10.0.0.2 "), true},
        {"anything at all", QStringLiteral("x"), true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(isConnectable(row.address), row.connectable);
    }
}
