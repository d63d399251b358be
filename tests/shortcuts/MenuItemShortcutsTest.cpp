#include "ShortcutsFixture.h"

#include "shortcuts/MenuItemShortcuts.h"

#include <QAction>

using namespace vantora::GlobalShortcuts;

namespace {

const QKeySequence controlQ(Qt::CTRL | Qt::Key_Q);
const QKeySequence controlOptionL(Qt::CTRL | Qt::ALT | Qt::Key_L);

class MenuItemShortcutsTest : public vantora::testing::ShortcutsFixture {
protected:
    MenuItemShortcuts menuItems{storage, notifications, layout};
    QAction item;
    const Name show{QStringLiteral("showVantora")};
    const Shortcut recorded{Key::l, ModifierFlag::control | ModifierFlag::option};

    void SetUp() override
    {
        ShortcutsFixture::SetUp();
        item.setShortcut(controlQ);
    }
};

} // namespace

TEST_F(MenuItemShortcutsTest, ABoundItemFollowsItsNameAndFallsBackToItsOwnShortcut)
{
    menuItems.bindShortcut(item, show);
    EXPECT_EQ(item.shortcut(), controlQ) << "nothing stored yet";

    storage.setShortcut(recorded, show);
    EXPECT_EQ(item.shortcut(), controlOptionL);
    storage.setShortcut(std::nullopt, show);
    EXPECT_EQ(item.shortcut(), controlQ);

    storage.setShortcut(recorded, show);
    menuItems.bindShortcut(item, std::nullopt);
    EXPECT_EQ(item.shortcut(), controlQ) << "unbinding restores the item's own";
    storage.setShortcut(std::nullopt, show);
    storage.setShortcut(Shortcut(Key::k, ModifierFlag::control), show);
    EXPECT_EQ(item.shortcut(), controlQ) << "no longer following";
}

TEST_F(MenuItemShortcutsTest, BindingAgainReplacesTheBindingButKeepsTheFirstFallback)
{
    const std::size_t observers = notifications.observerCount();
    menuItems.bindShortcut(item, show);
    storage.setShortcut(recorded, show);
    menuItems.bindShortcut(item, Name(QStringLiteral("toggleHomeLights")));
    EXPECT_EQ(notifications.observerCount(), observers + 1);
    EXPECT_EQ(item.shortcut(), controlQ) << "the new name stores nothing: the first fallback shows";

    storage.setShortcut(Shortcut(Key::k, ModifierFlag::control), show);
    EXPECT_EQ(item.shortcut(), controlQ) << "changes of the old name are ignored";
}

TEST_F(MenuItemShortcutsTest, IgnoresNotificationsAboutOtherNamesOrNone)
{
    menuItems.bindShortcut(item, show);
    storage.setShortcut(recorded, show);
    storage.setShortcut(Shortcut(Key::k, ModifierFlag::control), Name(QStringLiteral("other")));
    notifications.post(shortcutByNameDidChange);
    EXPECT_EQ(item.shortcut(), controlOptionL);
}

TEST_F(MenuItemShortcutsTest, SettingAShortcutEndsTheBindingWithoutRestoring)
{
    menuItems.bindShortcut(item, show);
    menuItems.setShortcut(item, std::nullopt);
    EXPECT_EQ(item.shortcut(), QKeySequence());
    storage.setShortcut(recorded, show);
    EXPECT_EQ(item.shortcut(), QKeySequence());

    menuItems.setShortcut(item, recorded);
    EXPECT_EQ(item.shortcut(), controlOptionL);
    menuItems.setShortcut(item, Shortcut(Key::keypad5, ModifierFlag::control));
    EXPECT_EQ(item.shortcut(), QKeySequence()) << "keypad keys have no key sequence";
}

TEST_F(MenuItemShortcutsTest, AnItemDeletedWhileBoundIsLetGo)
{
    auto doomed = std::make_unique<QAction>();
    menuItems.bindShortcut(*doomed, show);
    doomed.reset();
    storage.setShortcut(recorded, show);
    EXPECT_EQ(changesPosted(show.rawValue), 1);
}
