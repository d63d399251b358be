#include "ShortcutsFixture.h"

#include "shortcuts/ConflictPolicy.h"
#include "shortcuts/ShortcutConflicts.h"

#include <QAction>
#include <QMenu>

using namespace vantora::GlobalShortcuts;
using vantora::testing::keyboardLayout;

namespace {

constexpr qint64 command = CarbonModifier::command;
constexpr qint64 control = CarbonModifier::control;
constexpr qint64 function = CarbonModifier::function;

class ShortcutConflictsTest : public vantora::testing::ShortcutsFixture {};

} // namespace

TEST_F(ShortcutConflictsTest, SystemShortcutsCompareAsRecorded)
{
    backend.listed = {{Key::space.rawValue, command | 0x400}, {Key::leftArrow.rawValue, control | function},
                      {Key::a.rawValue, control | function}};
    EXPECT_EQ(systemShortcuts(centre.systemHotKeys()),
              (std::vector<Shortcut>{Shortcut(Key::space.rawValue, command), Shortcut(Key::leftArrow.rawValue, control),
                                     Shortcut(Key::a.rawValue, control | function)}));
}

TEST_F(ShortcutConflictsTest, TakenBySystemWhenListedOrHeldByAnotherProgram)
{
    backend.listed = {{Key::space.rawValue, command}, {Key::f12.rawValue, 0}, {Key::f12.rawValue, command},
                      {Key::upArrow.rawValue, control | function}};
    backend.taken = {{quint32(Key::k.rawValue), quint32(control)}};
    const struct {
        const char *name;
        Shortcut shortcut;
        bool taken;
    } rows[] = {
        {"listed", Shortcut(Key::space, ModifierFlag::command), true},
        {"F12 alone is left to programs", Shortcut(Key::f12, {}), false},
        {"F12 with a modifier is not", Shortcut(Key::f12, ModifierFlag::command), true},
        {"an arrow listed with Fn", Shortcut(Key::upArrow, ModifierFlag::control), true},
        {"held by another program", Shortcut(Key::k, ModifierFlag::control), true},
        {"free", Shortcut(Key::l, ModifierFlag::control), false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(isTakenBySystem(row.shortcut, centre), row.taken);
    }
}

TEST_F(ShortcutConflictsTest, FindsTheMenuItemWithTheSameKeySequence)
{
    QMenu menu;
    QAction *refresh = menu.addAction(QStringLiteral("Refresh lights"));
    refresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    menu.addSeparator();
    QMenu *more = menu.addMenu(QStringLiteral("More"));
    QAction *hidden = more->addAction(QStringLiteral("Hidden"));
    hidden->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});
    hidden->setVisible(false);
    hidden->setEnabled(false);
    QAction *undo = more->addAction(QStringLiteral("Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *keypad = more->addAction(QStringLiteral("Keypad"));
    keypad->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5)));

    const struct {
        const char *name;
        QByteArray layout;
        Shortcut shortcut;
        QAction *item;
    } rows[] = {
        {"top level", "us", Shortcut(Key::r, ModifierFlag::control), refresh},
        {"submenu, hidden and disabled, second sequence", "us",
         Shortcut(Key::k, ModifierFlag::control | ModifierFlag::shift), hidden},
        {"shift must match", "us", Shortcut(Key::k, ModifierFlag::control), nullptr},
        {"the layout decides the letter", "de", Shortcut(Key::y, ModifierFlag::control), undo},
        {"same place, other letter", "us", Shortcut(Key::y, ModifierFlag::control), hidden},
        {"keypad keys never match", "us", Shortcut(Key::keypad5, ModifierFlag::control), nullptr},
        {"command is not control", "us", Shortcut(Key::r, ModifierFlag::command), nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(menuItemWithMatchingShortcut(row.shortcut, menu, keyboardLayout(row.layout)), row.item);
    }
}

TEST(ShortcutConflicts, NothingIsDisallowedOnLinux)
{
    EXPECT_FALSE(isDisallowed(Shortcut(Key::k, ModifierFlag::option | ModifierFlag::shift)));
}

TEST(ConflictPolicy, StandardBlocksMenuClashesAndWarnsAboutSystemOnes)
{
    const ConflictPolicy unset;
    EXPECT_EQ(unset, ConflictPolicy::standard);
    EXPECT_EQ(unset.menuItem, ConflictBehavior::block);
    EXPECT_EQ(unset.systemShortcut, ConflictBehavior::warn);
    EXPECT_EQ(unset.disallowed, ConflictBehavior::block);
    EXPECT_EQ(ConflictPolicy::allowAll,
              (ConflictPolicy{ConflictBehavior::allow, ConflictBehavior::allow, ConflictBehavior::allow}));

    ConflictPolicy lenient = ConflictPolicy::standard;
    lenient.disallowed = ConflictBehavior::allow;
    EXPECT_NE(lenient, ConflictPolicy::standard);
    EXPECT_NE(qHash(lenient), qHash(ConflictPolicy::standard));
}
