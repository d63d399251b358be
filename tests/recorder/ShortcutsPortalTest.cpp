// The shortcuts page over the desktop's shortcut portal, with the real portal, its KDE backend
// and the key daemon on a private bus (with-shortcut-portal.sh) under Xvfb; keys are typed
// through the X server, where the key daemon takes them.
#include "RecorderRig.h"
#include "X11Testing.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/DesktopShortcutNames.h"
#include "recorder/GlobalShortcutsView.h"
#include "recorder/RecorderField.h"
#include "recorder/RecorderTexts.h"
#include "recorder/RecorderView.h"

#include "platform/portal/PortalHotKeys.h"
#include "platform/x11/XkbKeyboardLayout.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"
#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutStorage.h"
#include "store/ToggleAppearance.h"
#include "ui/PlainToolTip.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusMessage>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using vantora::testing::waitUntil;
using vantora::testing::xdotool;

namespace {

const Shortcut controlAltJ(Key::j, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltL(Key::l, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltM(Key::m, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltN(Key::n, ModifierFlag::control | ModifierFlag::option);

// Whether the portal offers global shortcuts, asked the way that starts it on the test's bus.
bool portalOffersShortcuts()
{
    QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                                      QStringLiteral("/org/freedesktop/portal/desktop"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get.setArguments({QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QStringLiteral("version")});
    const QDBusReply<QVariant> version = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
    return version.isValid() && version.value().toUInt() >= 1;
}

// The lines of the key daemon's registry (kglobalshortcutsrc, in the test's private config
// folder) that hold `text`: how the desktop lists our shortcuts in its settings.
QStringList keyDaemonLinesWith(const QString &text)
{
    QFile registry(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/kglobalshortcutsrc"));
    if (!registry.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(registry.readAll()).split(QLatin1Char('\n'));
    lines.removeIf([&](const QString &line) { return !line.contains(text); });
    return lines;
}

class ShortcutsOverPortal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(portalOffersShortcuts())
            << "no shortcut portal on the session bus";
        notifications.addObserver(&answers, platform::desktopTriggersDidChange,
                                  [this](const runtime::Notification &) { ++answerCount; });
        forgetEarlierTestsShortcuts();
    }

    // The desktop keeps an action's keys from run to run; each test starts with a desktop that
    // holds none of ours, as after a first start. Its key daemon names our entry by the
    // session token (Plasma 5) or "token_" and the token (Plasma 6).
    static void forgetEarlierTestsShortcuts()
    {
        for (const QString &component : {QStringLiteral("vantora_test"), QStringLiteral("token_vantora_test")}) {
            for (const Name &name : {showVantora(), toggleHomeLights()}) {
                QDBusMessage forget = QDBusMessage::createMethodCall(
                    QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
                    QStringLiteral("org.kde.KGlobalAccel"), QStringLiteral("unregister"));
                forget.setArguments({component, name.rawValue});
                QDBusConnection::sessionBus().call(forget);
            }
        }
    }

    // Whether the desktop has given its word on every stored shortcut. The page hears first that
    // the desktop is still asking, when a bind takes a moment (a loaded machine), or that its
    // portal has gone: keys pressed before the word would reach nothing.
    bool desktopAnswered() const
    {
        for (const Name &name : storage.storedNames()) {
            const auto shortcut = storage.getShortcut(name);
            const auto binding = shortcut ? centre.desktopBinding(*shortcut) : std::nullopt;
            if (shortcut
                && (!binding || binding->state == platform::DesktopBinding::State::asking
                    || binding->state == platform::DesktopBinding::State::serviceGone))
                return false;
        }
        return true;
    }

    // Shows the page and waits for the desktop's first answer on the stored shortcuts.
    void openPage()
    {
        actions.onKeyUp(showVantora(), [this] { ++shows; });
        actions.onKeyUp(toggleHomeLights(), [this] { ++toggles; });
        actions.onKeyDown(showVantora(), [this] { ++presses; });
        actions.onKeyDown(toggleHomeLights(), [this] { ++presses; });
        page = std::make_unique<recorder::GlobalShortcutsView>(services, appearance, [] {});
        page->show();
        page->activateWindow();
        ASSERT_TRUE(waitUntil([this] { return page->isActiveWindow() && answerCount > 0 && desktopAnswered(); }))
            << "active: " << page->isActiveWindow() << ", answers: " << answerCount << ", all answered: " << desktopAnswered();
    }

    // Records `keys` in the row's field and waits for the desktop to answer on them.
    void record(recorder::RecorderView &row, const char *keys)
    {
        const int answered = answerCount;
        row.field().setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(row.field().isRecording());
        ASSERT_TRUE(xdotool({"key", keys}));
        ASSERT_TRUE(waitUntil([&] { return !row.field().isRecording() && answerCount > answered && desktopAnswered(); }));
    }

    // Presses `keys` and then waits until `count` reaches `expected`, or, where it should stay,
    // as long as the desktop takes to pass a key on and more. True when it is `expected`.
    bool pressAndCount(const char *keys, const int &count, int expected)
    {
        return pressAndCount(keys, count, expected, presses);
    }

    // The same, where `pressesHeard` counts the presses that reach the program. The key daemon
    // hears presses on one X connection and releases on another, over which the X server
    // passes on a release only along with other traffic: keys let go of before the daemon has
    // read their press reach it only with the next keys typed. Where the keys should fire,
    // they are held until their press has come through, as a person's are.
    bool pressAndCount(const char *keys, const int &count, int expected, const int &pressesHeard)
    {
        const int before = count;
        if (expected != before) {
            const int pressedBefore = pressesHeard;
            if (!xdotool({"keydown", keys}))
                return false;
            const bool pressed = waitUntil([&] { return pressesHeard > pressedBefore; });
            if (!xdotool({"keyup", keys}) || !pressed)
                return false;
            return waitUntil([&] { return count == expected; });
        }
        if (!xdotool({"key", keys}))
            return false;
        QDeadlineTimer settle(std::chrono::milliseconds(400));
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return count == expected;
    }

    runtime::MemoryUserDefaults defaults;
    runtime::NotificationCenter notifications;
    std::unique_ptr<platform::XkbKeyboardLayout> layout = platform::XkbKeyboardLayout::fromDisplay();
    platform::PortalHotKeys backend{QDBusConnection::sessionBus(), *layout, notifications, defaults,
                                    QStringLiteral("vantora_test"), [this](quint32 keyCode, quint32 modifiers) {
                                        return recorder::desktopShortcutName(storage, keyCode, modifiers);
                                    }};
    ShortcutStorage storage{defaults, notifications};
    HotKeyCenter centre{backend, *layout, notifications};
    ShortcutActions actions{centre, storage};
    vantora::testing::ScriptedAlerts alerts;
    recorder::RecorderServices services{storage, actions, centre, *layout, notifications, alerts,
                                        [] { return nullptr; }, [] {}};
    ToggleAppearance appearance{defaults};
    QObject answers;
    int answerCount = 0;
    int shows = 0;
    int toggles = 0;
    // Of either action.
    int presses = 0;
    std::unique_ptr<recorder::GlobalShortcutsView> page;
};

TEST_F(ShortcutsOverPortal, ARecordedShortcutTakesOverTheActionAndTheOldKeysNoLongerFire)
{
    storage.setShortcut(controlAltJ, showVantora());
    openPage();
    ASSERT_TRUE(pressAndCount("ctrl+alt+j", shows, 1)) << "the stored shortcut reached the action";

    record(page->showRecorder(), "ctrl+alt+l");
    EXPECT_EQ(page->showRecorder().field().text(), QStringLiteral("Ctrl+Alt+L"));
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_TRUE(pressAndCount("ctrl+alt+l", shows, 2)) << "the recorded shortcut runs the action";
    EXPECT_TRUE(pressAndCount("ctrl+alt+j", shows, 2)) << "the replaced keys run nothing";
}

TEST_F(ShortcutsOverPortal, KeysAnotherProgramHoldsAreShownAsNotSetWithTheReason)
{
    // Another program asked the desktop for the keys first, on a connection of its own.
    runtime::NotificationCenter itsNotifications;
    runtime::MemoryUserDefaults itsDefaults;
    platform::PortalHotKeys otherProgram{
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other program")), *layout,
        itsNotifications, itsDefaults, QStringLiteral("other_program"), {}};
    bool itsAnswer = false;
    itsNotifications.addObserver(&answers, platform::desktopTriggersDidChange,
                                 [&](const runtime::Notification &) { itsAnswer = true; });
    ASSERT_TRUE(otherProgram.registerHotKey(quint32(controlAltM.carbonKeyCode), quint32(controlAltM.carbonModifiers), 1)
                    .succeeded());
    ASSERT_TRUE(waitUntil([&] { return itsAnswer; }));

    storage.setShortcut(controlAltM, toggleHomeLights());
    openPage();
    ASSERT_TRUE(pressAndCount("ctrl+alt+m", toggles, 0));
    ASSERT_TRUE(waitUntil([this] { return !alerts.shown.empty(); }));
    EXPECT_EQ(page->toggleRecorder().field().text(), QStringLiteral("Ctrl+Alt+M")) << "stored keys show, to be cleared";
    EXPECT_TRUE(ui::plainToolTipOf(page->toggleRecorder().field()).startsWith(recorder::RecorderTexts::notBoundByDesktop()))
        << "with the reason they do nothing";
    EXPECT_EQ(alerts.shown[0].text, QStringLiteral("The desktop did not accept Ctrl+Alt+M as a shortcut."));
}

TEST_F(ShortcutsOverPortal, TheDesktopListsEachActionOnceByWhatItDoesAcrossRecordings)
{
    storage.setShortcut(controlAltN, toggleHomeLights());
    openPage();
    record(page->toggleRecorder(), "ctrl+alt+o");
    EXPECT_EQ(page->toggleRecorder().field().text(), QStringLiteral("Ctrl+Alt+O"));
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_TRUE(pressAndCount("ctrl+alt+o", toggles, 1)) << "the recorded shortcut runs the action";
    // The key daemon writes its registry a moment after a change.
    EXPECT_TRUE(waitUntil([] {
        return keyDaemonLinesWith(QStringLiteral("Toggle all lights")) ==
            QStringList{QStringLiteral("toggleHomeLights=Ctrl+Alt+O,Ctrl+Alt+O,Toggle all lights")};
    })) << keyDaemonLinesWith(QStringLiteral("Toggle all lights")).join(QLatin1Char('\n')).toStdString();
}

TEST_F(ShortcutsOverPortal, AfterThePortalRestartsTheShortcutFiresAgainAndNobodyIsAsked)
{
    storage.setShortcut(controlAltJ, showVantora());
    openPage();
    ASSERT_TRUE(pressAndCount("ctrl+alt+j", shows, 1));

    // The portal ends (a crash, an upgrade); the next call to it starts another.
    QDBusConnectionInterface &bus = *QDBusConnection::sessionBus().interface();
    const QDBusReply<uint> portalPid = bus.servicePid(QStringLiteral("org.freedesktop.portal.Desktop"));
    ASSERT_TRUE(portalPid.isValid());
    ASSERT_EQ(::kill(pid_t(portalPid.value()), SIGTERM), 0);
    ASSERT_TRUE(waitUntil([&] { return !bus.isServiceRegistered(QStringLiteral("org.freedesktop.portal.Desktop")); }));
    const int answered = answerCount;
    ASSERT_TRUE(portalOffersShortcuts());

    ASSERT_TRUE(waitUntil([&] { return answerCount > answered && desktopAnswered(); })) << "the new portal was not asked";
    EXPECT_EQ(page->showRecorder().field().text(), QStringLiteral("Ctrl+Alt+J"));
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_TRUE(pressAndCount("ctrl+alt+j", shows, 2)) << "the shortcut did not come back";
}


// Clearing a shortcut lets go of it in the desktop's key daemon for good: its settings no longer
// list the action, and another program that asks for the keys gets them and their presses.
TEST_F(ShortcutsOverPortal, AClearedShortcutsKeysAreFreeAgainForAnotherProgram)
{
    storage.setShortcut(controlAltN, toggleHomeLights());
    openPage();
    ASSERT_TRUE(pressAndCount("ctrl+alt+n", toggles, 1));
    // The key daemon writes its registry a moment after a change: the entry is seen there
    // before it can be seen to go, or a registry not written yet would pass for one let go.
    ASSERT_TRUE(waitUntil([] {
        return keyDaemonLinesWith(QStringLiteral("Toggle all lights")) ==
            QStringList{QStringLiteral("toggleHomeLights=Ctrl+Alt+N,Ctrl+Alt+N,Toggle all lights")};
    })) << keyDaemonLinesWith(QStringLiteral("Toggle all lights")).join(QLatin1Char('\n')).toStdString();

    // The person clears it on the page with Backspace: the recording, which lets go of the keys
    // for its while, begins before the store forgets them.
    page->toggleRecorder().field().setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(page->toggleRecorder().field().isRecording());
    ASSERT_TRUE(xdotool({"key", "BackSpace"}));
    ASSERT_TRUE(waitUntil([this] { return !storage.getShortcut(toggleHomeLights()); })) << "Backspace did not clear it";
    ASSERT_TRUE(xdotool({"key", "Escape"}));
    ASSERT_TRUE(waitUntil([this] { return !page->toggleRecorder().field().isRecording(); })) << "the recording did not end";
    EXPECT_TRUE(waitUntil([] { return keyDaemonLinesWith(QStringLiteral("Toggle all lights")).isEmpty(); }))
        << "the key daemon still holds it: "
        << keyDaemonLinesWith(QStringLiteral("Toggle all lights")).join(QLatin1Char('\n')).toStdString();

    runtime::NotificationCenter itsNotifications;
    runtime::MemoryUserDefaults itsDefaults;
    platform::PortalHotKeys otherProgram{
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other program")), *layout,
        itsNotifications, itsDefaults, QStringLiteral("other_program"), {}};
    int itsPresses = 0;
    otherProgram.installHandler([&](const platform::HotKeyEvent &event) {
        if (event.kind == platform::HotKeyEvent::Kind::pressed)
            ++itsPresses;
    });
    otherProgram.setEventsAttached(true);
    const auto itsBinding = [&] {
        return otherProgram.desktopBinding(quint32(controlAltN.carbonKeyCode), quint32(controlAltN.carbonModifiers));
    };
    ASSERT_TRUE(otherProgram.registerHotKey(quint32(controlAltN.carbonKeyCode), quint32(controlAltN.carbonModifiers), 1)
                    .succeeded());
    ASSERT_TRUE(waitUntil([&] { return itsBinding() && itsBinding()->state != platform::DesktopBinding::State::asking; }));
    EXPECT_EQ(itsBinding(), platform::DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+N")));
    EXPECT_TRUE(pressAndCount("ctrl+alt+n", itsPresses, 1, itsPresses)) << "the other program's keys do not fire";
    EXPECT_EQ(toggles, 1);
}

} // namespace
