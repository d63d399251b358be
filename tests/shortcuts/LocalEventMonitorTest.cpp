#include "ShortcutsFixture.h"

#include "shortcuts/LocalEventMonitor.h"
#include "shortcuts/MenuTracker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <QWindow>

using namespace vantora::GlobalShortcuts;
using vantora::runtime::Notification;
using vantora::testing::keyboardLayout;

namespace {

// evdev key codes (the kernel's code plus 8), as X reports them.
constexpr quint32 scanCodeOfL = 46;
constexpr quint32 scanCodeOfHelpKey = 146;

class CountingWindow final : public QWindow {
public:
    int keyEvents = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { ++keyEvents; }
    void keyReleaseEvent(QKeyEvent *) override { ++keyEvents; }
};

void send(QObject &receiver, QEvent::Type type, quint32 scanCode, Qt::KeyboardModifiers modifiers = {},
          bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_L, modifiers, scanCode, 0, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(&receiver, &event);
}

} // namespace

TEST(LocalEventMonitor, OffersEachKeyEventOnceAsItReachesItsWindow)
{
    std::vector<KeyEvent> seen;
    EventDisposition answer = EventDisposition::passOn;
    LocalEventMonitor monitor({EventType::keyDown, EventType::keyUp}, keyboardLayout("us"), [&](const KeyEvent &event) {
        seen.push_back(event);
        return answer;
    });
    CountingWindow window;
    QWidget widget;

    send(window, QEvent::KeyPress, scanCodeOfL);
    EXPECT_TRUE(seen.empty()) << "not started";

    monitor.start().start();
    send(window, QEvent::KeyPress, scanCodeOfL, Qt::ControlModifier | Qt::AltModifier, true);
    send(widget, QEvent::KeyPress, scanCodeOfL);
    send(window, QEvent::KeyPress, scanCodeOfHelpKey);
    ASSERT_EQ(seen.size(), 1u) << "once, at the window; keys without a Carbon code are not offered";
    const ModifierFlags controlOption = ModifierFlag::control | ModifierFlag::option;
    EXPECT_EQ(seen[0], (KeyEvent{EventType::keyDown, Key::l.rawValue, controlOption, true}));
    EXPECT_EQ(window.keyEvents, 3);

    answer = EventDisposition::consume;
    send(window, QEvent::KeyRelease, scanCodeOfL);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(window.keyEvents, 3) << "consumed";

    monitor.stop();
    monitor.stop();
    send(window, QEvent::KeyRelease, scanCodeOfL);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(window.keyEvents, 4);
}

TEST(LocalEventMonitor, WatchesOnlyTheTypesItWasGiven)
{
    int offered = 0;
    LocalEventMonitor monitor({EventType::keyDown}, keyboardLayout("us"), [&](const KeyEvent &) {
        ++offered;
        return EventDisposition::consume;
    });
    monitor.start();
    CountingWindow window;
    send(window, QEvent::KeyPress, scanCodeOfL);
    send(window, QEvent::KeyRelease, scanCodeOfL);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(window.keyEvents, 1);
}

TEST(MenuTracker, TellsWhenTheFirstPopupOpensAndTheLastCloses)
{
    vantora::runtime::NotificationCenter notifications;
    QStringList posted;
    QObject observer;
    for (const QString &name : {MenuTracker::menuDidBeginTracking, MenuTracker::menuDidEndTracking})
        notifications.addObserver(&observer, name,
                                  [&](const Notification &notification) { posted << notification.name; });
    MenuTracker tracker(notifications);

    QWidget tool(nullptr, Qt::Tool);
    tool.show();
    EXPECT_TRUE(posted.isEmpty()) << "tool windows (the panel) are no menus";

    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    auto *submenu = new QMenu;
    submenu->addAction(QStringLiteral("More"));
    menu.popup({10, 10});
    submenu->popup({40, 10});
    EXPECT_TRUE(tracker.isMenuOpen());
    EXPECT_EQ(posted, QStringList({MenuTracker::menuDidBeginTracking}));

    menu.hide();
    EXPECT_EQ(posted.size(), 1) << "a popup is still open";
    delete submenu;
    EXPECT_EQ(posted, QStringList({MenuTracker::menuDidBeginTracking, MenuTracker::menuDidEndTracking}));
    EXPECT_FALSE(tracker.isMenuOpen());
}

namespace {

class OwnKeyEventsTest : public vantora::testing::ShortcutsFixture {};

} // namespace

TEST_F(OwnKeyEventsTest, AnOpenMenuTakesOverMatchingFromTheSystem)
{
    const Name show(QStringLiteral("showVantora"));
    const Shortcut controlOptionL(Key::l, ModifierFlag::control | ModifierFlag::option);
    storage.setShortcut(controlOptionL, show);
    int runs = 0;
    actions.onKeyUp(show, [&] { ++runs; });

    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    menu.popup({10, 10});
    ASSERT_TRUE(menu.windowHandle());
    EXPECT_TRUE(backend.registrations.empty());

    send(*menu.windowHandle(), QEvent::KeyPress, scanCodeOfL, Qt::ControlModifier | Qt::AltModifier);
    send(*menu.windowHandle(), QEvent::KeyRelease, scanCodeOfL, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(runs, 1);

    menu.hide();
    EXPECT_EQ(backend.registeredId(controlOptionL), 1u);
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, 2);
}
