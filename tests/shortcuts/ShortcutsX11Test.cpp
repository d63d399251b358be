#include "QtPrinters.h"
#include "X11ShortcutServices.h"
#include "X11Testing.h"

#include "shortcuts/ShortcutConflicts.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace vantora;
using namespace vantora::GlobalShortcuts;
using vantora::testing::waitUntil;
using vantora::testing::xdotool;

namespace {

const Shortcut controlAltL(Key::l, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltK(Key::k, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlAltJ(Key::j, ModifierFlag::control | ModifierFlag::option);

// The shortcut services on the X server the test runs against, as the app builds them.
class ShortcutsOnX11 : public ::testing::Test, protected vantora::testing::X11ShortcutServices {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(backend.isAvailable()) << "no X server on DISPLAY";
        storage.setShortcut(controlAltL, show);
        storage.setShortcut(controlAltK, sentinel);
        actions.onKeyDown(show, [this] { log << "down"; });
        actions.onKeyUp(show, [this] { log << "up"; });
        actions.onKeyUp(sentinel, [this] { log << "sentinel"; });
        ASSERT_TRUE(actions.isEnabled(show));
        ASSERT_TRUE(actions.isEnabled(sentinel));
    }

    // Taps the sentinel shortcut and waits for it: X keeps events in order, so whatever the
    // keys before it caused has arrived by then.
    QStringList logUpToSentinel()
    {
        EXPECT_TRUE(xdotool({"key", "ctrl+alt+k"}));
        EXPECT_TRUE(waitUntil([this] { return log.contains("sentinel"); })) << log.join(' ').toStdString();
        return log;
    }

    const Name show{QStringLiteral("showVantora")};
    const Name sentinel{QStringLiteral("sentinel")};
    QStringList log;
};

} // namespace

TEST_F(ShortcutsOnX11, ATapRunsTheKeyUpActionOnce)
{
    ASSERT_TRUE(xdotool({"key", "ctrl+alt+l"}));
    EXPECT_EQ(logUpToSentinel(), QStringList({"down", "up", "sentinel"}));
}

TEST_F(ShortcutsOnX11, HoldingTheShortcutDoesNotRepeatIt)
{
    ASSERT_TRUE(xdotool({"keydown", "ctrl+alt+l", "sleep", "1", "keyup", "ctrl+alt+l"}));
    EXPECT_EQ(logUpToSentinel(), QStringList({"down", "up", "sentinel"}));
}

TEST_F(ShortcutsOnX11, AShortcutAnotherProgramHoldsIsTakenBySystem)
{
    platform::X11HotKeys otherProgram;
    ASSERT_TRUE(otherProgram.registerHotKey(quint32(controlAltJ.carbonKeyCode), quint32(controlAltJ.carbonModifiers), 1)
                    .succeeded());
    EXPECT_TRUE(isTakenBySystem(controlAltJ, centre));
    EXPECT_FALSE(isTakenBySystem(controlAltL, centre)) << "our own shortcut";
    EXPECT_FALSE(isTakenBySystem(Shortcut(Key::h, ModifierFlag::control | ModifierFlag::option), centre));

    const Name taken(QStringLiteral("taken"));
    storage.setShortcut(controlAltJ, taken);
    actions.onKeyUp(taken, [] {});
    EXPECT_FALSE(actions.isEnabled(taken)) << "the grab was refused";
}

// Qt menus close when Alt is pressed, so this one has no Alt.
TEST_F(ShortcutsOnX11, WhileOurMenuIsOpenTheShortcutIsMatchedInside)
{
    storage.setShortcut(Shortcut(Key::l, ModifierFlag::control | ModifierFlag::shift), show);
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    menu.popup({100, 100});
    ASSERT_TRUE(waitUntil([&] { return menu.isVisible(); }));
    ASSERT_EQ(centre.mode(), HotKeyCenter::Mode::menuOpen);

    ASSERT_TRUE(xdotool({"key", "ctrl+shift+l"}));
    EXPECT_TRUE(waitUntil([this] { return log.contains("up"); }));
    EXPECT_EQ(log, QStringList({"down", "up"}));
    EXPECT_TRUE(menu.isVisible()) << "the menu never saw the key";

    menu.hide();
    ASSERT_EQ(centre.mode(), HotKeyCenter::Mode::normal);
    log.clear();
    ASSERT_TRUE(xdotool({"key", "ctrl+shift+l"}));
    EXPECT_EQ(logUpToSentinel(), QStringList({"down", "up", "sentinel"}));
}
