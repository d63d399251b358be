#include "ActiveWindow.h"
#include "StoreRig.h"

#include "app/AppCommands.h"
#include "app/CommandRules.h"
#include "onboarding/BridgeOnboarding.h"
#include "statusitem/BoolBinding.h"
#include "store/HalvetStore.h"
#include "app/FocusedShortcuts.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelNavigation.h"
#include "ui/FocusedValues.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

using namespace vantora;
using vantora::testing::ReplyScript;
using vantora::testing::StoreRig;
using vantora::testing::activate;

namespace {

struct Shell {
    StoreRig rig;
    ReplyScript<std::vector<DiscoveredBridge>> search;
    std::unique_ptr<BridgeOnboarding> onboarding;
    PanelNavigation navigation;
    statusitem::BoolBinding presented;
    std::unique_ptr<AppCommands> commands;

    explicit Shell(std::function<HalvetStore &(StoreRig &)> build)
    {
        HalvetStore &store = build(rig);
        onboarding = std::make_unique<BridgeOnboarding>(
            store, OnboardingMode::live, OnboardingPreviewResult::lights, [this] { return search.reply(); },
            rig.harness.clock, rig.harness.executor);
        commands = std::make_unique<AppCommands>(store, *onboarding, navigation, presented, AppCommands::Hooks{},
                                                 rig.harness.executor);
    }
};

HalvetStore &connected(StoreRig &rig)
{
    return rig.buildConnected(HueSnapshot::sample(2));
}

} // namespace

TEST(AppCommands, PreferencesWithoutAFocusedPanelOpensThePanelOnTheShortcutsPage)
{
    Shell shell(connected);
    QSignalSpy pageChanges(&shell.navigation, &PanelNavigation::showsShortcutsChanged);
    shell.commands->preferences()->trigger();
    EXPECT_TRUE(shell.navigation.showsShortcuts());
    EXPECT_TRUE(shell.presented.value());
    EXPECT_EQ(pageChanges.count(), 1);

    shell.presented.set(false);
    shell.commands->preferences()->trigger();
    EXPECT_EQ(pageChanges.count(), 1) << "the page was already shown";
    EXPECT_TRUE(shell.presented.value());
}

TEST(AppCommands, PreferencesPrefersTheActiveWindowsPanel)
{
    Shell shell(connected);
    QWidget window;
    int opened = 0;
    FocusedShortcuts::publish(&window, [&] { ++opened; });
    window.show();
    activate(window);
    shell.commands->preferences()->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(shell.presented.value());
    EXPECT_FALSE(shell.navigation.showsShortcuts());
}

// The example windows hold lights panels of their own, which offer their action themselves.
TEST(AppCommands, PreferencesReachesThePanelThatOffersItsActionInTheActiveWindow)
{
    Shell shell(connected);
    QWidget window;
    auto *panel = new QWidget(&window);
    int opened = 0;
    ui::FocusedValues::offer(panel, focusedOpenShortcutsKey, OpenShortcutsAction([&] { ++opened; }));
    window.show();
    activate(window);
    shell.commands->preferences()->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(shell.presented.value());
    EXPECT_FALSE(shell.navigation.showsShortcuts());
}

TEST(CommandRules, ResetNeedsAForgettableBridgeAndNoRunningAttempt)
{
    using Phase = OnboardingPhase;
    for (const Phase phase : {Phase::ready, Phase::searching, Phase::choosingBridge, Phase::connecting, Phase::pairing,
                              Phase::notFound, Phase::failed, Phase::complete}) {
        SCOPED_TRACE(int(phase));
        const bool attemptRuns = phase == Phase::searching || phase == Phase::connecting || phase == Phase::pairing;
        EXPECT_EQ(commandRules::canResetConnection(true, phase), !attemptRuns);
        EXPECT_FALSE(commandRules::canResetConnection(false, phase));
    }
}

TEST(AppCommands, RefreshFollowsConnectionAndBusyState)
{
    Shell demo([](StoreRig &rig) -> HalvetStore & {
        return rig.build({.mode = StoreMode::demo, .demoSnapshot = HueSnapshot::sample(2)});
    });
    EXPECT_TRUE(demo.commands->refreshLights()->isEnabled());

    Shell unpaired([](StoreRig &rig) -> HalvetStore & { return rig.build(); });
    EXPECT_FALSE(unpaired.commands->refreshLights()->isEnabled());
    EXPECT_FALSE(unpaired.commands->resetConnection()->isEnabled());

    Shell busy(connected);
    auto gate = busy.rig.lights->snapshots.thenWait();
    busy.commands->refreshLights()->trigger();
    busy.rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(busy.rig.store->isRefreshing());
    EXPECT_FALSE(busy.commands->refreshLights()->isEnabled());
    gate->open(HueSnapshot::sample(2));
    busy.rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(busy.commands->refreshLights()->isEnabled());
}
