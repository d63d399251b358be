#include "ActiveWindow.h"
#include "app/HalvetApp.h"
#include "app/LaunchFlags.h"

#include "controls/LightToggleArtwork.h"

#include "runtime/UserDefaults.h"

#include "panel/PanelNavigation.h"
#include "recorder/GlobalShortcutsView.h"
#include "settings/AppSettingsMenu.h"
#include "statusitem/PanelWindow.h"
#include "welcome/WelcomeScreen.h"

#include <QApplication>
#include <QAction>
#include <QDeadlineTimer>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace vantora;
using vantora::testing::activate;

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

statusitem::PanelWindow *panelWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *panel = qobject_cast<statusitem::PanelWindow *>(widget))
            return panel;
    }
    return nullptr;
}

// The commands' keys work in every window of the application, the About window too.
TEST(HalvetApp, TheCommandKeysWorkInTheAboutWindow)
{
    struct Case {
        const char *openedFrom;
        QAction *(*aboutAction)(statusitem::PanelWindow &);
    };
    for (const Case &opened : {Case{"the tray menu",
                                    [](statusitem::PanelWindow &panel) -> QAction * {
                                        const auto menus = panel.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
                                        for (QMenu *menu : menus) {
                                            for (QAction *action : menu->actions()) {
                                                if (action->text() == QStringLiteral("About vantora"))
                                                    return action;
                                            }
                                        }
                                        return nullptr;
                                    }},
                               Case{"the panel's settings menu", [](statusitem::PanelWindow &panel) -> QAction * {
                                        const auto *menu = panel.findChild<AppSettingsMenu *>();
                                        return menu ? menu->aboutAction() : nullptr;
                                    }}}) {
        SCOPED_TRACE(opened.openedFrom);
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        QAction *about = opened.aboutAction(*panel);
        ASSERT_NE(about, nullptr);
        about->trigger();
        QWidget *aboutWindow = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->windowTitle() == QStringLiteral("About vantora"))
                aboutWindow = widget;
        }
        ASSERT_NE(aboutWindow, nullptr);
        activate(*aboutWindow);

        QTest::keyClick(aboutWindow, Qt::Key_Comma, Qt::ControlModifier);
        EXPECT_TRUE(app.navigation().showsShortcuts());
        EXPECT_TRUE(app.isPanelPresented().value());
        aboutWindow->close();
        QCoreApplication::processEvents();
    }
}

// A command chosen in a tray host's menu while the panel is open: the host hands over the
// choice (the action runs on a later turn, as the menu's exporter runs it), then says its menu
// closed. Some hosts' menus leave the panel up (GNOME's, Plasma's); others, as they go, take
// the focus from it (waybar's on sway) before the host says so. Either way the panel stays up,
// on the page the command asked for; the focus leaving once the menu closed is the person
// leaving, and the panel goes.
TEST(HalvetApp, ACommandFromTheTrayMenuShowsThePanelWhateverTheMenuDoesBeforeItCloses)
{
    enum class FocusLeaves { never, beforeTheMenuClosed, afterTheMenuClosed };
    struct Case {
        const char *command;
        FocusLeaves focusLeaves;
        bool showsShortcuts;
    };
    for (const Case &row : {Case{"Show vantora", FocusLeaves::never, false},
                            Case{"Show vantora", FocusLeaves::beforeTheMenuClosed, false},
                            Case{"Preferences…", FocusLeaves::never, true},
                            Case{"Preferences…", FocusLeaves::beforeTheMenuClosed, true},
                            Case{"Preferences…", FocusLeaves::afterTheMenuClosed, true}}) {
        SCOPED_TRACE(std::string(row.command) + ", the focus leaving " + std::to_string(int(row.focusLeaves)));
        runtime::MemoryUserDefaults defaults;
        HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--demo")}), defaults);
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        ASSERT_EQ(panel->presentation(), statusitem::PanelWindow::Presentation::besideTrayIcon);
        const auto settle = [] {
            // Each step of the panel's opening and closing runs on a turn of its own.
            for (int turn = 0; turn < 8; ++turn)
                QCoreApplication::processEvents();
        };
        app.isPanelPresented().set(true);
        settle();
        ASSERT_TRUE(panel->isVisible());
        activate(*panel);
        settle();

        QMenu *trayMenu = nullptr;
        QAction *command = nullptr;
        for (QMenu *menu : panel->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly)) {
            for (QAction *action : menu->actions()) {
                if (action->text() == QString::fromUtf8(row.command)) {
                    trayMenu = menu;
                    command = action;
                }
            }
        }
        ASSERT_NE(command, nullptr);
        // The host's menu shows and closes as the tray icon's own menu would.
        QShowEvent shown;
        QCoreApplication::sendEvent(trayMenu, &shown);
        QMetaObject::invokeMethod(command, &QAction::trigger, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        if (row.focusLeaves == FocusLeaves::beforeTheMenuClosed)
            vantora::testing::deactivateAll();
        settle();
        QHideEvent closed;
        QCoreApplication::sendEvent(trayMenu, &closed);
        settle();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_TRUE(app.isPanelPresented().value());
        EXPECT_EQ(app.navigation().showsShortcuts(), row.showsShortcuts);
        if (row.focusLeaves != FocusLeaves::afterTheMenuClosed)
            continue;
        activate(*panel);
        settle();
        vantora::testing::deactivateAll();
        settle();
        EXPECT_FALSE(panel->isVisible()) << "left once the menu closed, the panel stayed";
        EXPECT_FALSE(app.isPanelPresented().value());
    }
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
        statusitem::PanelWindow *panel = panelWindow();
        ASSERT_NE(panel, nullptr);
        const auto settle = [] {
            const QDeadlineTimer deadline(200);
            while (!deadline.hasExpired())
                QCoreApplication::processEvents();
        };
        // No tray here: the start shows the panel as a window.
        app.start();
        settle();
        ASSERT_TRUE(panel->isVisible());
        ASSERT_EQ(panel->presentation(), statusitem::PanelWindow::Presentation::normalWindow);

        panel->setWindowState(panel->windowState() | Qt::WindowMinimized);
        settle();
        asked.ask(app);
        settle();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_FALSE(panel->isMinimized());
    }
}

// Without a tray the welcome window of a first start is all a person sees: its settings menu
// leads to the shortcuts page, whose row for showing the app names the window, not a tray.
TEST(HalvetApp, WithoutATrayTheWelcomeWindowLeadsToTheShortcutsPage)
{
    runtime::MemoryUserDefaults defaults;
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--welcome-preview")}), defaults);
    app.start();
    const auto shownWelcomeWindow = []() -> QWidget * {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && !qobject_cast<statusitem::PanelWindow *>(widget)
                && widget->findChild<WelcomeScreen *>())
                return widget;
        }
        return nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownWelcomeWindow() != nullptr; })) << "no welcome window";
    QWidget *welcome = shownWelcomeWindow();
    ASSERT_EQ(panelWindow()->isVisible(), false) << "the welcome window stands for the panel";

    auto *menu = welcome->findChild<AppSettingsMenu *>();
    ASSERT_NE(menu, nullptr) << "the welcome window has no settings menu";
    EXPECT_TRUE(menu->isVisibleTo(welcome));
    menu->preferencesAction()->trigger();
    recorder::GlobalShortcutsView *page = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        page = welcome->findChild<recorder::GlobalShortcutsView *>();
        return page && page->isVisible();
    })) << "Preferences… showed no shortcuts page in the welcome window";
    QStringList texts;
    for (const QLabel *label : page->findChildren<QLabel *>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Open the vantora window."))) << texts.join(u'|').toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("Open the panel from the tray.")));
}

// The shortcut preview builds the page before anything else: it must know already whether a
// tray is there to name.
TEST(HalvetApp, TheShortcutPreviewStartsOnItsPageNamingTheWindowWithoutATray)
{
    runtime::MemoryUserDefaults defaults;
    HalvetApp app(LaunchFlags::parse({QStringLiteral("vantora"), QStringLiteral("--shortcut-preview")}), defaults);
    app.start();
    recorder::GlobalShortcutsView *page = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *found = window->findChild<recorder::GlobalShortcutsView *>(); found && found->isVisible())
                page = found;
        }
        return page != nullptr;
    })) << "no shortcuts page shown";
    QStringList texts;
    for (const QLabel *label : page->findChildren<QLabel *>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(QStringLiteral("Open the vantora window."))) << texts.join(u'|').toStdString();
}

} // namespace
