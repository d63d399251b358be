#include "app/HalvetApp.h"
#include "app/LaunchFlags.h"

#include "controls/LightToggleArtwork.h"

#include "runtime/UserDefaults.h"

#include "statusitem/PanelWindow.h"

#include <QApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

using namespace vantora;

namespace {

TEST(HalvetApp, EveryLightToggleDrawsTheColourTheUserChose)
{
    runtime::MemoryUserDefaults defaults({{QStringLiteral("toggleColor"), QStringLiteral("purple")}});
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
    QCoreApplication::processEvents();

    int toggles = 0;
    for (const QWidget *widget : QApplication::allWidgets()) {
        if (const auto *artwork = qobject_cast<const LightToggleArtwork *>(widget); artwork && !artwork->fields().color) {
            ++toggles;
            EXPECT_EQ(artwork->resolvedColor(), ToggleColor::purple);
        }
    }
    EXPECT_GT(toggles, 0) << "the demo home has lights with toggles";
}

// Without a tray the panel is an ordinary window, which the user may minimise; another launch
// and the shortcut are then the only ways back to it.
TEST(HalvetApp, AMinimisedPanelWindowComesBackWhenAskedFor)
{
    struct Case {
        const char *asker;
        void (*ask)(HalvetApp &);
    };
    for (const Case &asked : {Case{"another launch", [](HalvetApp &app) { app.showPanel(); }},
                              Case{"the shortcut, to hide and show", [](HalvetApp &app) {
                                       app.togglePanel();
                                       QCoreApplication::processEvents();
                                       app.togglePanel();
                                   }}}) {
        SCOPED_TRACE(asked.asker);
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *found = qobject_cast<statusitem::PanelWindow *>(widget))
                panel = found;
        }
        ASSERT_NE(panel, nullptr);
        panel->setPresentation(statusitem::PanelWindow::Presentation::normalWindow);
        app.isPanelPresented().set(true);
        const auto settle = [] {
            const QDeadlineTimer deadline(200);
            while (!deadline.hasExpired())
                QCoreApplication::processEvents();
        };
        settle();
        ASSERT_TRUE(panel->isVisible());

        panel->setWindowState(panel->windowState() | Qt::WindowMinimized);
        settle();
        asked.ask(app);
        settle();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_FALSE(panel->isMinimized());
    }
}

} // namespace
