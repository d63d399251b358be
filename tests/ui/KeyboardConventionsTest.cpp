#include "ui/ContextMenu.h"
#include "ui/KeyboardConventions.h"

#include "ActiveWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using namespace vantora;

namespace {

// A window that asks for its context menu as the panel does, with a button that has the focus.
struct MenuWindow {
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("Turn all lights off"), &window);
    QStringList chosen;

    MenuWindow()
    {
        ui::KeyboardConventions::install();
        ui::installContextMenu(&window, [this] {
            return std::vector<ui::MenuEntry>{
                ui::MenuEntry::label(QStringLiteral("Preview · sample lights")),
                ui::MenuEntry::item(QStringLiteral("Refresh lights"), [this] { chosen << QStringLiteral("refresh"); }),
                ui::MenuEntry::separator(),
                ui::MenuEntry::item(QStringLiteral("Quit vantora"), [this] { chosen << QStringLiteral("quit"); }),
            };
        });
        vantora::testing::activate(window);
        button->setFocus(Qt::TabFocusReason);
    }

    QMenu *openMenu() const
    {
        QMenu *found = nullptr;
        static_cast<void>(QTest::qWaitFor([&] {
            found = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            return found != nullptr;
        }, 1000));
        return found;
    }
};

} // namespace

// However it is asked for, by the Menu key, Shift+F10 or the pointer, the context menu opens;
// opened by a key, on its first entry that can be chosen, which a reader reads with it.
TEST(KeyboardConventionsTest, AMenuOpenedByAKeyStartsOnItsFirstEntry)
{
    struct Case {
        const char *askedBy;
        std::function<void(QWidget &focused)> ask;
        const char *active;
    };
    const Case cases[] = {
        {"the Menu key",
         [](QWidget &focused) {
             // As the platform turns the key into a request to the focused control.
             QTest::keyClick(&focused, Qt::Key_Menu);
             QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(4, 4), focused.mapToGlobal(QPoint(4, 4)));
             QApplication::sendEvent(&focused, &request);
         },
         "Refresh lights"},
        {"Shift+F10", [](QWidget &focused) { QTest::keyClick(&focused, Qt::Key_F10, Qt::ShiftModifier); },
         "Refresh lights"},
        {"a right click",
         [](QWidget &focused) {
             QTest::mousePress(&focused, Qt::RightButton);
             QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(4, 4), focused.mapToGlobal(QPoint(4, 4)));
             QApplication::sendEvent(&focused, &request);
             QTest::mouseRelease(&focused, Qt::RightButton);
         },
         ""},
    };
    for (const Case &row : cases) {
        SCOPED_TRACE(row.askedBy);
        MenuWindow shown;
        row.ask(*shown.button);
        QMenu *menu = shown.openMenu();
        ASSERT_NE(menu, nullptr) << "no menu opened";
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(menu->activeAction() ? menu->activeAction()->text() : QString(), QString::fromUtf8(row.active));
        menu->close();
    }
}

// Space chooses the menu's active entry as Return does; with no entry active it chooses none.
// Escape closes the menu and leaves the focus on the control that had it.
TEST(KeyboardConventionsTest, SpaceChoosesTheActiveEntryAsReturnDoes)
{
    struct Case {
        const char *name;
        Qt::Key key;
        bool entryActive;
        QStringList chosen;
        bool staysOpen;
    };
    const Case cases[] = {
        {"Space on an entry", Qt::Key_Space, true, {"refresh"}, false},
        {"Return on an entry", Qt::Key_Return, true, {"refresh"}, false},
        {"Space with no entry active", Qt::Key_Space, false, {}, true},
        {"Escape", Qt::Key_Escape, true, {}, false},
    };
    for (const Case &row : cases) {
        SCOPED_TRACE(row.name);
        MenuWindow shown;
        QTest::keyClick(shown.button, Qt::Key_F10, Qt::ShiftModifier);
        QMenu *menu = shown.openMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->activeAction() != nullptr; }, 1000));
        if (!row.entryActive)
            menu->setActiveAction(nullptr);
        const QPointer<QMenu> watched(menu);
        // Chosen as the key comes up, as a button is pressed.
        QTest::keyPress(menu, row.key);
        QCoreApplication::processEvents();
        if (row.key != Qt::Key_Escape) {
            EXPECT_TRUE(shown.chosen.isEmpty());
            EXPECT_TRUE(watched && watched->isVisible());
        }
        if (watched)
            QTest::keyRelease(menu, row.key);
        QCoreApplication::processEvents();
        EXPECT_EQ(shown.chosen, row.chosen);
        EXPECT_EQ(watched && watched->isVisible(), row.staysOpen);
        if (!row.staysOpen)
            EXPECT_EQ(QApplication::focusWidget(), shown.button);
        if (watched)
            watched->close();
    }
    // The key that opened a menu comes up in it: it chooses nothing.
    MenuWindow shown;
    QTest::keyClick(shown.button, Qt::Key_F10, Qt::ShiftModifier);
    QMenu *menu = shown.openMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->activeAction() != nullptr; }, 1000));
    QTest::keyRelease(menu, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown.chosen.isEmpty());
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

// The menu of a button that lost the focus meanwhile (a window it opened took it and went)
// gives the focus to that button as Escape closes it: never to nothing.
TEST(KeyboardConventionsTest, EscapeFromAButtonsMenuGivesTheFocusToTheButton)
{
    ui::KeyboardConventions::install();
    QWidget window;
    auto *gear = new QToolButton(&window);
    gear->setFocusPolicy(Qt::TabFocus);
    gear->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(gear);
    menu->addAction(QStringLiteral("About vantora"));
    gear->setMenu(menu);
    vantora::testing::activate(window);
    gear->setFocus(Qt::TabFocusReason);
    QWidget *focusAfter = nullptr;
    bool escaped = false;
    QTimer::singleShot(0, menu, [&] {
        gear->clearFocus();
        QTest::keyClick(menu, Qt::Key_Escape);
        escaped = true;
    });
    QTest::keyClick(gear, Qt::Key_Space);
    ASSERT_TRUE(escaped) << "the menu did not open";
    // The window's focus, which is the application's while the window is active.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        focusAfter = window.focusWidget();
        return focusAfter != nullptr;
    }, 1000));
    EXPECT_EQ(focusAfter, gear);
}
