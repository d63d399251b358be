#include "ActiveWindow.h"
#include "FakeHotKeyBackend.h"
#include "KeyboardLayouts.h"
#include "TaskTesting.h"

#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"
#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/Name.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutStorage.h"

#include "statusitem/PanelWindow.h"
#include "statusitem/PanelWindowIntrospection.h"
#include "statusitem/StatusItemAccess.h"
#include "statusitem/TrayMenuBarExtra.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace vantora::statusitem;
using vantora::testing::TaskHarness;

namespace {

// Our tray item and panel window on the offscreen platform, bound to the shown flag.
struct TrayPanel {
    TaskHarness harness;
    PlatformApplication application;
    BoolBinding presented{false};
    BoolBinding enabled{true};
    PanelWindow panel;
    TrayMenuBarExtra extra{application, panel, QStringLiteral("vantora"), harness.clock};
    StatusItemAccess access{application, 0, presented, enabled, {}, harness.clock, harness.executor};
    QWidget elsewhere;

    TrayPanel()
    {
        auto *content = new QWidget;
        content->setFixedSize(200, 120);
        panel.setContent(content);
        elsewhere.resize(50, 50);
        settle();
    }
    void settle()
    {
        harness.executor.runUntilIdle();
        QApplication::processEvents();
        harness.executor.runUntilIdle();
    }
    // Like settle(), but false when the work goes on turn after turn, each turn posting more.
    bool settles()
    {
        for (int turn = 0; turn < 200; ++turn) {
            QApplication::processEvents();
            if (!harness.executor.runOne())
                return true;
        }
        return false;
    }
    void activate(QWidget &window)
    {
        vantora::testing::activate(window);
        settle();
    }
    void clickTrayIcon()
    {
        Q_EMIT extra.xembedIcon().activated(QSystemTrayIcon::Trigger);
        settle();
    }
};

} // namespace

TEST(TrayPanel, TheFlagOpensThePanelAndLosingTheFocusClosesIt)
{
    TrayPanel tray;
    tray.presented.set(true);
    tray.settle();
    ASSERT_TRUE(tray.panel.isVisible());
    EXPECT_EQ(tray.extra.statusItem()->button()->state(), ButtonState::on);

    tray.activate(tray.panel);
    EXPECT_TRUE(tray.presented.value());

    tray.activate(tray.elsewhere);
    EXPECT_FALSE(tray.panel.isVisible());
    EXPECT_FALSE(tray.presented.value());
    EXPECT_EQ(tray.extra.statusItem()->button()->state(), ButtonState::off);
}

// A keyboard grab (a screen reader's key listener, a global key's own) takes the activation
// for a moment and hands it back: the person has not left. The panel goes once they have: the
// focus went to another window meanwhile, or they leave it after the grab.
TEST(TrayPanel, AFocusTakenByAKeyboardGrabKeepsThePanelUntilThePersonLeaves)
{
    const struct {
        const char *name;
        void (*afterGrab)(TrayPanel &, bool &heldByGrab);
    } rows[] = {
        {"the grab hands the focus back, then the person leaves",
         [](TrayPanel &tray, bool &heldByGrab) {
             heldByGrab = false;
             tray.activate(tray.panel);
             EXPECT_TRUE(tray.panel.isVisible());
             tray.activate(tray.elsewhere);
         }},
        {"the focus went to another window during the grab",
         [](TrayPanel &tray, bool &heldByGrab) {
             heldByGrab = false;
             tray.panel.focusLeftDuringGrab();
             tray.settle();
         }},
        // The show-or-hide key's grab ends as the key asks the panel to go: the activation it
        // hands back, told before the panel went, is no new opening.
        {"the show-or-hide key hides the panel as its grab hands the focus back",
         [](TrayPanel &tray, bool &heldByGrab) {
             tray.presented.set(false);
             heldByGrab = false;
             vantora::testing::activate(tray.panel);
             EXPECT_TRUE(tray.settles()) << "the panel kept showing and hiding";
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TrayPanel tray;
        bool heldByGrab = false;
        tray.panel.setFocusHeldByGrab([&] { return heldByGrab; });
        tray.clickTrayIcon();
        tray.activate(tray.panel);

        heldByGrab = true;
        tray.activate(tray.elsewhere);
        EXPECT_TRUE(tray.panel.isVisible()) << "a focus-out in grab mode closed the panel";
        EXPECT_TRUE(tray.presented.value());

        row.afterGrab(tray, heldByGrab);
        EXPECT_FALSE(tray.panel.isVisible());
        EXPECT_FALSE(tray.presented.value());
    }
}

// The flag changes twice before the panel followed the first change (a click and a key, a key
// and its grab's focus): the panel ends as the flag last says, and stays so.
TEST(TrayPanel, TwoChangesOfTheFlagInFlightEndAsTheFlagLastSays)
{
    for (const bool shownFirst : {true, false}) {
        SCOPED_TRACE(shownFirst ? "hidden and shown again" : "shown and hidden again");
        TrayPanel tray;
        tray.presented.set(shownFirst);
        tray.settle();
        tray.presented.set(!shownFirst);
        tray.presented.set(shownFirst);
        ASSERT_TRUE(tray.settles()) << "the panel kept showing and hiding";
        EXPECT_EQ(tray.panel.isVisible(), shownFirst);
        EXPECT_EQ(tray.presented.value(), shownFirst);
    }
}

TEST(TrayPanel, ItsOwnDialogKeepsThePanelOpen)
{
    TrayPanel tray;
    tray.presented.set(true);
    tray.settle();
    tray.activate(tray.panel);

    auto *alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Reset?"), QStringLiteral("Reset?"),
                                  QMessageBox::Cancel, &tray.panel);
    alert->setWindowModality(Qt::WindowModal);
    tray.activate(*alert);
    EXPECT_TRUE(tray.panel.isVisible());
    EXPECT_TRUE(tray.presented.value());
    delete alert;
}

// The panel need not be the active window when it goes: a dialog of its own may have had the
// focus and handed it to another window on closing. However it was opened and however it went,
// the shown flag must follow it, or what reads the flag (a command that opens the panel for
// its question) finds it "shown" and opens nothing.
TEST(TrayPanel, TheFlagFollowsThePanelHoweverItOpensAndGoes)
{
    struct Way {
        const char *name;
        void (*act)(TrayPanel &);
    };
    const Way openings[] = {
        {"the flag", [](TrayPanel &tray) { tray.presented.set(true); }},
        {"a click on the icon", [](TrayPanel &tray) { tray.clickTrayIcon(); }},
    };
    const Way hidings[] = {
        {"a click on the icon", [](TrayPanel &tray) { tray.clickTrayIcon(); }},
        {"the flag", [](TrayPanel &tray) { tray.presented.set(false); }},
        {"Escape", [](TrayPanel &tray) { QTest::keyClick(&tray.panel, Qt::Key_Escape); }},
        {"the window manager's close", [](TrayPanel &tray) { tray.panel.close(); }},
    };
    for (const Way &opening : openings) {
        for (const Way &hiding : hidings) {
            SCOPED_TRACE(std::string("opened by ") + opening.name + ", hidden by " + hiding.name);
            TrayPanel tray;
            opening.act(tray);
            tray.settle();
            ASSERT_TRUE(tray.panel.isVisible());
            EXPECT_TRUE(tray.presented.value());

            auto *alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Reset?"), QStringLiteral("Reset?"),
                                          QMessageBox::Cancel, &tray.panel);
            tray.activate(*alert);
            delete alert;
            tray.activate(tray.elsewhere);
            ASSERT_TRUE(tray.panel.isVisible());

            hiding.act(tray);
            tray.settle();
            ASSERT_FALSE(tray.panel.isVisible());
            EXPECT_FALSE(tray.presented.value());

            tray.presented.set(true);
            tray.settle();
            EXPECT_TRUE(tray.panel.isVisible());
        }
    }
}

// The desktop's confirmation of a shortcut takes the keyboard as a dialog of the panel's own
// would: the panel stays up to show its outcome, and goes as ever once the desktop answered.
TEST(TrayPanel, TheDesktopsConfirmationOfAShortcutKeepsThePanelOpenUntilItAnswers)
{
    using vantora::platform::DesktopBinding;
    namespace shortcuts = vantora::GlobalShortcuts;
    const shortcuts::Shortcut ctrlAltL(37, 0x1000 | 0x800);
    const struct {
        const char *name;
        bool desktopDecides;
        std::optional<DesktopBinding> pending;
        bool staysWhilePending;
    } rows[] = {
        {"X11 grabs decide at once", false, std::nullopt, false},
        {"the portal has not answered", true, std::nullopt, true},
        {"the portal's window asks the user", true, DesktopBinding::asking(), true},
        {"the portal let its deadline pass: nothing left to wait for", true, DesktopBinding::unconfirmed(), false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        vantora::runtime::MemoryUserDefaults defaults;
        vantora::runtime::NotificationCenter notifications;
        vantora::testing::FakeHotKeyBackend desktop;
        desktop.decides = row.desktopDecides;
        shortcuts::ShortcutStorage storage(defaults, notifications);
        shortcuts::HotKeyCenter centre(desktop, vantora::testing::keyboardLayout("us"), notifications);
        shortcuts::ShortcutActions actions(centre, storage);
        const shortcuts::Name name(QStringLiteral("showVantora"));
        actions.onKeyUp(name, [] {});
        storage.setShortcut(ctrlAltL, name);
        const std::pair<quint32, quint32> keys{quint32(ctrlAltL.carbonKeyCode), quint32(ctrlAltL.carbonModifiers)};
        if (row.pending)
            desktop.desktopBindings[keys] = *row.pending;

        TrayPanel tray;
        tray.panel.setHoldsDialog([&] { return centre.isAwaitingDesktop(); });
        tray.presented.set(true);
        tray.settle();
        tray.activate(tray.panel);
        tray.activate(tray.elsewhere);
        EXPECT_EQ(tray.panel.isVisible(), row.staysWhilePending);
        if (!row.staysWhilePending)
            continue;

        desktop.desktopBindings[keys] = DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+L"));
        tray.activate(tray.panel);
        tray.activate(tray.elsewhere);
        EXPECT_FALSE(tray.panel.isVisible()) << "once answered, the panel goes as ever";
        EXPECT_FALSE(tray.presented.value());
    }
}

// A click on the icon toggles the panel as it finds it: the click that takes the activation
// from the open panel closes it for good, the loss it caused reported after it; a click after
// the panel went for another reason, however soon, opens it.
TEST(TrayPanel, AClickOnTheIconTogglesThePanelAsItFindsIt)
{
    const auto nothing = [](TrayPanel &) {};
    const struct {
        const char *name;
        void (*before)(TrayPanel &);
        void (*after)(TrayPanel &);
        bool shown;
    } rows[] = {
        {"the click on the icon takes the activation", nothing,
         [](TrayPanel &tray) { tray.activate(tray.elsewhere); }, false},
        {"a click elsewhere took it just before", [](TrayPanel &tray) { tray.activate(tray.elsewhere); }, nothing,
         true},
        {"Escape closed the panel just before",
         [](TrayPanel &tray) {
             QTest::keyClick(&tray.panel, Qt::Key_Escape);
             tray.activate(tray.elsewhere);
         },
         nothing, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TrayPanel tray;
        tray.clickTrayIcon();
        tray.activate(tray.panel);
        row.before(tray);
        tray.clickTrayIcon();
        row.after(tray);
        EXPECT_EQ(tray.panel.isVisible(), row.shown);
        EXPECT_EQ(tray.presented.value(), row.shown);
    }
}

// A command chosen in the tray host's menu shows the panel once the host says its menu closed:
// the menu, going, takes the activation, which must neither go from a panel just shown nor
// close one open already. After that the panel goes when the person leaves it, however long it
// was shown, and the next click on the icon opens it again.
TEST(TrayPanel, ACommandFromTheHostsMenuShowsThePanelOnceTheMenuClosedAndItGoesWhenLeft)
{
    enum class Menu {
        toolkitMenu, // our own in an X11 tray, which closes before its entry runs
        hostClosesAfter, // a D-Bus host's, which says "closed" after the entry's "clicked"
        hostClosesFirst, // the same, the two the other way round
    };
    struct Case {
        const char *name;
        Menu menu;
        bool openAtCommand;
        // The menu takes the activation before the host says it closed.
        bool lossBeforeClose;
    };
    const Case rows[] = {
        {"Show in our own menu", Menu::toolkitMenu, false, false},
        {"Show in our own menu, the panel open", Menu::toolkitMenu, true, false},
        {"Show in the host's menu", Menu::hostClosesAfter, false, false},
        {"Show in the host's menu, which closed first", Menu::hostClosesFirst, false, false},
        {"Preferences in the host's menu, the panel open", Menu::hostClosesAfter, true, false},
        {"Preferences in the host's menu, the panel open, its going takes the activation", Menu::hostClosesAfter,
         true, true},
    };
    for (const Case &row : rows) {
        SCOPED_TRACE(row.name);
        TrayPanel tray;
        int activations = 0;
        tray.panel.setActivator([&](QWidget &, std::optional<quint32>) { ++activations; });
        QMenu menu;
        QAction *command = menu.addAction(QStringLiteral("Show"));
        QObject::connect(command, &QAction::triggered, [&] {
            tray.extra.commandShowsPanel();
            tray.presented.set(true);
        });
        tray.extra.setContextMenu(&menu);
        if (row.openAtCommand) {
            tray.clickTrayIcon();
            tray.activate(tray.panel);
        }

        if (row.menu == Menu::toolkitMenu) {
            menu.popup(QPoint(20, 20));
            tray.settle();
            menu.setActiveAction(command);
            QTest::keyClick(&menu, Qt::Key_Return);
        } else {
            tray.extra.hostMenuShownChanged(true);
            if (row.menu == Menu::hostClosesFirst)
                tray.extra.hostMenuShownChanged(false);
            command->trigger();
        }
        tray.settle();
        if (row.menu == Menu::hostClosesAfter) {
            EXPECT_EQ(tray.panel.isVisible(), row.openAtCommand) << "the panel showed while the host's menu was up";
            if (row.lossBeforeClose) {
                tray.activate(tray.elsewhere);
                EXPECT_TRUE(tray.panel.isVisible()) << "the host's menu took the panel with it";
            }
            const int before = activations;
            tray.extra.hostMenuShownChanged(false);
            tray.settle();
            EXPECT_EQ(activations > before, !row.openAtCommand || row.lossBeforeClose)
                << "once the menu closed, the panel asked for the activation " << activations - before << " times";
        }
        ASSERT_TRUE(tray.panel.isVisible()) << "the command did not show the panel";
        EXPECT_TRUE(tray.presented.value());

        tray.activate(tray.panel);
        tray.harness.clock.advance(10s);
        tray.activate(tray.elsewhere);
        EXPECT_FALSE(tray.panel.isVisible()) << "left, the panel stayed";
        EXPECT_FALSE(tray.presented.value());
        tray.clickTrayIcon();
        EXPECT_TRUE(tray.panel.isVisible()) << "the next click did not open the panel";
    }
}

// A panel that waits for the host's menu to close before it shows counts as shown: a click on
// the icon meanwhile opens it at once, the flag going false leaves it hidden for good.
TEST(TrayPanel, APanelWaitingForTheHostsMenuOpensOnAClickAndStaysHiddenWhenTheFlagGoes)
{
    const struct {
        const char *name;
        void (*meanwhile)(TrayPanel &);
        bool shown;
    } rows[] = {
        {"a click on the icon", [](TrayPanel &tray) { tray.clickTrayIcon(); }, true},
        {"the flag going false", [](TrayPanel &tray) { tray.presented.set(false); }, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        TrayPanel tray;
        tray.extra.hostMenuShownChanged(true);
        tray.extra.commandShowsPanel();
        tray.presented.set(true);
        tray.settle();
        ASSERT_FALSE(tray.panel.isVisible());
        row.meanwhile(tray);
        tray.settle();
        EXPECT_EQ(tray.panel.isVisible(), row.shown);
        tray.extra.hostMenuShownChanged(false);
        tray.settle();
        EXPECT_EQ(tray.panel.isVisible(), row.shown) << "the menu's closing changed the panel";
        EXPECT_EQ(tray.presented.value(), row.shown);
    }
}

// The panel, hidden by a click on the icon or by the flag right after a command showed it,
// loses the activation as it goes: that loss is no menu's, and the panel opens again on the
// next click, at once.
TEST(TrayPanel, APanelHiddenRightAfterACommandOpensOnTheNextClick)
{
    const std::pair<const char *, void (*)(TrayPanel &)> hidings[] = {
        {"a click on the icon", [](TrayPanel &tray) { tray.clickTrayIcon(); }},
        {"the flag", [](TrayPanel &tray) { tray.presented.set(false); }},
    };
    for (const auto &[name, hide] : hidings) {
        SCOPED_TRACE(name);
        TrayPanel tray;
        tray.clickTrayIcon();
        tray.activate(tray.panel);
        tray.extra.commandShowsPanel();
        hide(tray);
        tray.settle();
        ASSERT_FALSE(tray.panel.isVisible());

        tray.clickTrayIcon();
        EXPECT_TRUE(tray.panel.isVisible()) << "the panel did not open again";
        tray.activate(tray.panel);
        EXPECT_TRUE(tray.presented.value());
    }
}

// A second click that comes before the window manager activated the panel closes it; the
// activation, arriving after, must not bring it back.
TEST(TrayPanel, AQuickSecondClickClosesThePanelThoughItsActivationComesLate)
{
    TrayPanel tray;
    tray.clickTrayIcon();
    ASSERT_TRUE(tray.panel.isVisible());
    tray.clickTrayIcon();
    ASSERT_FALSE(tray.panel.isVisible());

    QEvent lateActivation(QEvent::WindowActivate);
    QApplication::sendEvent(&tray.panel, &lateActivation);
    tray.settle();
    EXPECT_FALSE(tray.panel.isVisible());
    EXPECT_FALSE(tray.presented.value());
}

// A tray may start after the application (a slow session) or go away and come back (a panel
// that restarts): the panel follows it, and the start's wait for it is one sleep, not polling.
TEST(TrayPanel, WaitsTenSecondsForATrayHostThenFollowsItAsItComesAndGoes)
{
    TrayPanel tray;
    bool trayHost = false;
    tray.extra.setTrayHostCheck([&] { return trayHost; });
    auto following = tray.harness.start(tray.extra.followTrayHost(10s));
    int wakeUps = 0;
    while (!following.isFinished() && wakeUps < 100) {
        tray.harness.clock.advance(tray.harness.clock.nextDeadline().value() - tray.harness.clock.steadyNow());
        ++wakeUps;
    }
    tray.settle();
    ASSERT_TRUE(following.isFinished());
    EXPECT_EQ(wakeUps, 1);
    // No tray: the panel is a window of its own, shown by itself.
    EXPECT_EQ(tray.panel.presentation(), PanelWindow::Presentation::normalWindow);
    EXPECT_TRUE(tray.panel.isVisible());
    tray.activate(tray.panel);
    EXPECT_TRUE(tray.presented.value());

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        trayHost = true;
        tray.extra.trayHostsChanged();
        tray.settle();
        EXPECT_EQ(tray.panel.presentation(), PanelWindow::Presentation::besideTrayIcon);
        EXPECT_FALSE(tray.panel.isVisible());
        EXPECT_FALSE(tray.presented.value());

        // Beside the icon it opens on a click and closes when the focus goes elsewhere.
        tray.clickTrayIcon();
        ASSERT_TRUE(tray.panel.isVisible());
        tray.activate(tray.panel);
        tray.activate(tray.elsewhere);
        EXPECT_FALSE(tray.panel.isVisible());

        // The tray goes: the window comes back, and losing the focus no longer hides it.
        trayHost = false;
        tray.extra.trayHostsChanged();
        tray.settle();
        EXPECT_EQ(tray.panel.presentation(), PanelWindow::Presentation::normalWindow);
        EXPECT_TRUE(tray.panel.isVisible());
        tray.activate(tray.panel);
        tray.activate(tray.elsewhere);
        EXPECT_TRUE(tray.panel.isVisible());
    }
}

// A tray that is there at the start ends the wait at once: an idle app keeps no timer.
TEST(TrayPanel, WithATrayHostAtTheStartItFollowsAtOnce)
{
    TrayPanel tray;
    tray.extra.setTrayHostCheck([] { return true; });
    auto following = tray.harness.start(tray.extra.followTrayHost(10s));
    tray.settle();
    EXPECT_TRUE(following.isFinished());
    EXPECT_FALSE(tray.harness.clock.nextDeadline().has_value());
    EXPECT_EQ(tray.panel.presentation(), PanelWindow::Presentation::besideTrayIcon);
    EXPECT_FALSE(tray.panel.isVisible());
}

TEST(TrayPanel, ContentIsHandedItsPanelWindowEachTimeItShows)
{
    TrayPanel tray;
    int found = 0;
    int foundForMissingItem = 0;
    PanelWindowIntrospection::introspectPanelWindow(*tray.panel.content(), tray.application, 0,
                                                    [&](Window &window) {
                                                        EXPECT_TRUE(window.className().contains(QStringLiteral("MenuBarExtraWindow")));
                                                        ++found;
                                                    });
    PanelWindowIntrospection::introspectPanelWindow(*tray.panel.content(), tray.application, 1,
                                                    [&](Window &) { ++foundForMissingItem; });
    for (int opening = 1; opening <= 2; ++opening) {
        tray.clickTrayIcon();
        EXPECT_TRUE(tray.panel.isVisible());
        EXPECT_EQ(found, opening);
        tray.clickTrayIcon();
    }
    EXPECT_EQ(foundForMissingItem, 0);
}

TEST(TrayPanel, AnOpenPanelThatGrowsStaysOnScreenBesideItsAnchor)
{
    struct Case {
        const char *edge;
        QPoint anchorFromBottomRight;
    };
    // The pointer stands in for the icon: the offscreen platform embeds no tray icon.
    for (const Case &edge : {Case{"bottom", {400, 8}}, Case{"top", {400, 592}}}) {
        SCOPED_TRACE(edge.edge);
        TrayPanel tray;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint anchor = available.bottomRight() - edge.anchorFromBottomRight;
        QCursor::setPos(anchor);
        ASSERT_EQ(QCursor::pos(), anchor);
        tray.clickTrayIcon();
        ASSERT_TRUE(tray.panel.isVisible());

        // Lights arrive, a banner shows, another page opens: the open panel grows.
        tray.panel.content()->setFixedSize(200, 360);
        tray.settle();
        ASSERT_EQ(tray.panel.size(), QSize(200, 360));
        const QRect placed = tray.panel.geometry();
        EXPECT_TRUE(available.contains(placed)) << placed.y() << " " << placed.bottom();
        EXPECT_FALSE(placed.contains(anchor));
    }
}

TEST(TrayPanel, APanelTheUserMovedStaysWhereTheUserPutItWhenItGrows)
{
    TrayPanel tray;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCursor::setPos(available.bottomRight() - QPoint(400, 8));
    tray.clickTrayIcon();
    ASSERT_TRUE(tray.panel.isVisible());

    const QPoint dragged = available.topLeft() + QPoint(20, 30);
    tray.panel.move(dragged);
    tray.settle();
    tray.panel.content()->setFixedSize(200, 160);
    tray.settle();
    ASSERT_EQ(tray.panel.size(), QSize(200, 160));
    EXPECT_EQ(tray.panel.pos(), dragged);
}

// A key's time is handed over for the opening it asks for. The shortcut that closes the panel
// hands its time over too, and so does the all-lights shortcut that finds the panel open;
// a later opening by a click must not present that old time to the window manager, which
// would refuse the focus.
TEST(TrayPanel, TheTimeOfAKeyThatOpenedNothingIsNotUsedToOpenThePanelLater)
{
    struct Case {
        const char *closedBy;
        void (*close)(TrayPanel &);
    };
    for (const Case &closing : {Case{"the shortcut",
                                     [](TrayPanel &tray) {
                                         tray.extra.setPendingUserTime(42);
                                         tray.presented.set(false);
                                         tray.settle();
                                     }},
                                Case{"a click elsewhere, after the all-lights shortcut", [](TrayPanel &tray) {
                                         tray.activate(tray.panel);
                                         tray.extra.setPendingUserTime(42);
                                         tray.presented.set(true);
                                         tray.activate(tray.elsewhere);
                                     }}}) {
        SCOPED_TRACE(closing.closedBy);
        TrayPanel tray;
        std::vector<std::optional<quint32>> activations;
        tray.panel.setActivator([&](QWidget &, std::optional<quint32> userTime) { activations.push_back(userTime); });
        tray.extra.setPendingUserTime(41);
        tray.presented.set(true);
        tray.settle();
        ASSERT_TRUE(tray.panel.isVisible());

        closing.close(tray);
        ASSERT_FALSE(tray.panel.isVisible());

        tray.clickTrayIcon();
        ASSERT_TRUE(tray.panel.isVisible());
        EXPECT_EQ(activations, (std::vector<std::optional<quint32>>{41, std::nullopt}));
    }
}
