#include "app/AppWindow.h"
#include "app/DemonstrationScale.h"
#include "app/LaunchFlags.h"
#include "app/LaunchPlan.h"
#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

using namespace vantora;
using Store = LaunchPlan::Store;
using Home = LaunchPlan::DemoHome;
using Result = OnboardingPreviewResult;

namespace {

LaunchFlags flags(std::initializer_list<const char *> arguments)
{
    QStringList list{QStringLiteral("/usr/bin/vantora")};
    for (const char *argument : arguments)
        list << QString::fromLatin1(argument);
    return LaunchFlags::parse(list);
}

} // namespace

TEST(LaunchFlags, CountOnlyWholeExactArguments)
{
    EXPECT_TRUE(flags({"--2x-preview", "--dark"}).has(LaunchFlag::twoXPreview));
    for (const char *near : {"--Demo", "--demo=1", "-demo", "demo", "--demo "}) {
        SCOPED_TRACE(near);
        EXPECT_FALSE(flags({near}).has(LaunchFlag::demo));
    }
    // Every flag reads back from its own argument, and only its own.
    for (int i = 0; i < launchFlagCount; ++i) {
        const auto flag = LaunchFlag(i);
        const LaunchFlags parsed = LaunchFlags::parse({QString(argumentOf(flag))});
        for (int j = 0; j < launchFlagCount; ++j)
            EXPECT_EQ(parsed.has(LaunchFlag(j)), i == j) << argumentOf(flag).data();
    }
}

TEST(LaunchPlan, ChoosesStoreHomeAndOnboardingFromTheFlags)
{
    struct Row {
        const char *name;
        std::initializer_list<const char *> arguments;
        Store store;
        Home home;
        Result result;
        bool shortcuts;
    };
    const Row rows[] = {
        {"no flags: the saved connection", {}, Store::live, Home::preview, Result::lights, false},
        {"demo", {"--demo"}, Store::demo, Home::preview, Result::lights, false},
        {"slow preview wins over demo", {"--slow-preview", "--demo"}, Store::slowPreview, Home::preview, Result::lights, false},
        {"empty home needs the welcome preview", {"--demo", "--empty-home"}, Store::demo, Home::preview, Result::lights, false},
        {"empty home with the welcome preview", {"--welcome-preview", "--empty-home"}, Store::demo, Home::empty, Result::lights, false},
        {"many lights alone is no demonstration", {"--many-lights"}, Store::live, Home::fifteenSamples, Result::lights, false},
        {"many lights in a demonstration", {"--menu-preview", "--many-lights"}, Store::demo, Home::fifteenSamples, Result::lights, false},
        {"empty preview beats many lights", {"--empty-preview", "--many-lights"}, Store::demo, Home::empty, Result::lights, false},
        {"no bridge beats the unexpected error", {"--no-bridge", "--unexpected-error"}, Store::live, Home::preview, Result::notFound, false},
        {"unexpected error", {"--unexpected-error"}, Store::live, Home::preview, Result::unexpectedError, false},
        {"shortcut page with the slow store", {"--shortcut-preview", "--slow-preview"}, Store::slowPreview, Home::preview, Result::lights, true},
        {"shortcut preview is a demonstration", {"--shortcut-preview"}, Store::demo, Home::preview, Result::lights, true},
        {"preview window keeps the normal store", {"--preview-window"}, Store::live, Home::preview, Result::lights, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const LaunchPlan plan = planLaunch(flags(row.arguments));
        EXPECT_EQ(plan.store, row.store);
        EXPECT_EQ(plan.demoHome, row.home);
        EXPECT_EQ(plan.previewResult, row.result);
        EXPECT_EQ(plan.startsOnShortcuts, row.shortcuts);
        // Sessions are tracked only against the saved connection.
        EXPECT_EQ(plan.sessionTracking == SessionTracking::enabled, row.store == Store::live);
    }
}

TEST(LaunchPlan, SlowPreviewScenarioAndSearch)
{
    const LaunchPlan arrival = planLaunch(flags({"--arrival-preview", "--preview-error", "--preview-expired-key"}));
    EXPECT_EQ(arrival.store, Store::slowPreview);
    EXPECT_TRUE(arrival.slowPreview.firstConnection);
    EXPECT_TRUE(arrival.slowPreview.initialError);
    EXPECT_TRUE(arrival.slowPreview.expiredKey);
    EXPECT_EQ(arrival.searchSource, SearchSource::previewSample);

    const LaunchPlan errorAlone = planLaunch(flags({"--preview-error", "--preview-expired-key"}));
    EXPECT_EQ(errorAlone.store, Store::live);
    EXPECT_EQ(errorAlone.searchSource, SearchSource::localNetwork);

    EXPECT_EQ(planLaunch(flags({"--welcome-preview"})).onboardingMode, OnboardingMode::preview);
    EXPECT_EQ(planLaunch(flags({"--demo"})).onboardingMode, OnboardingMode::live);
}

TEST(LaunchWindow, FirstFlagByPriorityElseWelcomeWhenUnusable)
{
    struct Row {
        const char *name;
        std::initializer_list<const char *> arguments;
        bool connected;
        bool issue;
        std::optional<AppWindow> window;
    };
    const Row rows[] = {
        {"connected, nothing to show", {}, true, false, std::nullopt},
        {"no connection", {}, false, false, AppWindow::welcome},
        {"unclean end of the last run", {}, true, true, AppWindow::welcome},
        {"shortcut beats welcome preview", {"--welcome-preview", "--shortcut-preview"}, true, false, AppWindow::preview},
        {"preview window without a connection", {"--preview-window"}, false, false, AppWindow::preview},
        {"brightness beats motion", {"--motion-preview", "--brightness-preview"}, true, false, AppWindow::brightnessPreview},
        {"motion beats empty", {"--empty-preview", "--motion-preview"}, true, false, AppWindow::motionPreview},
        {"empty beats welcome", {"--welcome-preview", "--empty-preview"}, true, false, AppWindow::emptyPreview},
        {"arrival preview", {"--arrival-preview"}, false, false, AppWindow::preview},
        {"demo opens nothing", {"--demo"}, true, false, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(launchWindow(flags(row.arguments), row.connected, row.issue), row.window);
    }
}

TEST(PlatformChoice, ForcesXcbOnlyInWaylandWithAnXDisplay)
{
    struct Row {
        const char *name;
        std::vector<std::pair<const char *, const char *>> variables;
        bool forced;
    };
    const Row rows[] = {
        {"Wayland with XWayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, true},
        {"session type says Wayland", {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}}, true},
        {"the user chose a platform", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}, false},
        {"Wayland without X", {{"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {"plain X11", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment environment;
        for (const auto &[name, value] : row.variables)
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        EXPECT_EQ(forcedQtPlatform(environment).has_value(), row.forced);
    }
}

TEST(PlatformChoice, FindsNoDisplayOnlyWhereTheToolkitHasNoneToTry)
{
    struct Row {
        const char *name;
        std::vector<std::pair<const char *, const char *>> variables;
        bool none;
    };
    const Row rows[] = {
        {"no display variables", {}, true},
        {"X11 chosen without an X display", {{"QT_QPA_PLATFORM", "xcb"}}, true},
        {"an X display", {{"DISPLAY", ":0"}}, false},
        {"a Wayland display", {{"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {"Wayland chosen by name finds the default socket", {{"QT_QPA_PLATFORM", "wayland"}}, false},
        {"a platform without a display", {{"QT_QPA_PLATFORM", "offscreen"}}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment environment;
        for (const auto &[name, value] : row.variables)
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        EXPECT_EQ(namesNoDisplay(environment), row.none);
    }
}

TEST(DemonstrationScale, FitsTheScreensUsableHeight)
{
    struct Row {
        const char *name;
        std::optional<int> visibleHeight;
        DemonstrationFrame frame;
    };
    const Row rows[] = {
        {"tall screen", 700, {542, QSize(880, 1084), QSize(880, 620)}},
        {"short screen", 500, {452, QSize(880, 904), QSize(880, 420)}},
        {"no screen", std::nullopt, {542, QSize(880, 1084), QSize(880, 820)}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(demonstrationFrame(row.visibleHeight), row.frame);
    }
}
