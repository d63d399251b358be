#include "recorder/ToggleColorPicker.h"

#include "store/ToggleAppearance.h"

#include "runtime/UserDefaults.h"

#include "ui/PlainToolTip.h"
#include "ui/UiHarness.h"

#include "ActiveWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vantora;
using recorder::ToggleColorPicker;

namespace {

TEST(ToggleColorPicker, AClickChoosesForEveryoneAndTheChosenOneAgainChangesNothingOnScreen)
{
    vantora::testing::UiHarness ui;
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    auto *picker = new ToggleColorPicker(appearance);
    (new QVBoxLayout(&ui.window))->addWidget(picker);
    ui.window.show();
    ui.runUntilIdle();

    QStringList names;
    for (const auto *swatch : picker->swatches())
        names << swatch->accessibleName();
    EXPECT_EQ(names, QStringList({"Amber toggles", "Aqua toggles", "Blue toggles", "Green toggles", "Purple toggles"}));
    // One group of radio buttons, the chosen one checked.
    const auto checkedState = [](QWidget *swatch) {
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(swatch);
        EXPECT_EQ(element->role(), QAccessible::RadioButton);
        return bool(element->state().checked);
    };
    EXPECT_TRUE(checkedState(picker->swatches()[0]));
    EXPECT_FALSE(checkedState(picker->swatches()[4]));
    EXPECT_EQ(picker->swatches()[0]->accessibleDescription(), QStringLiteral("Use amber light switches"))
        << "plain text, never the tooltip's markup";
    EXPECT_EQ(vantora::ui::plainToolTipOf(*picker->swatches()[4]), QStringLiteral("Use purple light switches"));

    QSignalSpy changes(&appearance, &ToggleAppearance::colorChanged);
    picker->swatches()[4]->click();
    EXPECT_EQ(appearance.color(), ToggleColor::purple);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(picker->ringTarget(), 4.0);
    EXPECT_TRUE(picker->swatches()[4]->isChecked());
    EXPECT_TRUE(checkedState(picker->swatches()[4]));
    EXPECT_FALSE(checkedState(picker->swatches()[0]));

    const int writes = defaults.writeCount(QString(ToggleAppearance::preferenceKey));
    picker->swatches()[4]->click();
    EXPECT_EQ(defaults.writeCount(QString(ToggleAppearance::preferenceKey)), writes + 1) << "stored again";
    EXPECT_EQ(changes.count(), 1) << "but nobody is told";

    ToggleAppearance afterRestart(defaults);
    EXPECT_EQ(afterRestart.color(), ToggleColor::purple);

    appearance.setColor(ToggleColor::aqua);
    EXPECT_EQ(picker->ringTarget(), 1.0) << "a choice made elsewhere moves the ring too";
}

struct KeysCase {
    const char *what;
    std::vector<Qt::Key> keys;
    // Of the row amber, aqua, blue, green, purple; blue is chosen before the keys.
    int chosen;
    // Where the focus ends: a colour's place, or -1 for the button after the row.
    int focused;
};

TEST(ToggleColorPicker, FromTheKeyboardTheColoursAreOneRadioGroupThatTheFocusEntersOnTheChosenOne)
{
    const std::vector<KeysCase> cases{
        {"Tab enters on the chosen colour", {Qt::Key_Tab}, 2, 2},
        {"Right chooses the next", {Qt::Key_Tab, Qt::Key_Right}, 3, 3},
        {"Down as Right", {Qt::Key_Tab, Qt::Key_Down}, 3, 3},
        {"Left chooses the one before", {Qt::Key_Tab, Qt::Key_Left}, 1, 1},
        {"Up as Left", {Qt::Key_Tab, Qt::Key_Up}, 1, 1},
        {"Home chooses the first", {Qt::Key_Tab, Qt::Key_Home}, 0, 0},
        {"End chooses the last", {Qt::Key_Tab, Qt::Key_End}, 4, 4},
        {"Right past the last goes round", {Qt::Key_Tab, Qt::Key_End, Qt::Key_Right}, 0, 0},
        {"Tab leaves the row at once", {Qt::Key_Tab, Qt::Key_Tab}, 2, -1},
        {"Tab after a move leaves too", {Qt::Key_Tab, Qt::Key_Left, Qt::Key_Tab}, 1, -1},
    };
    for (const KeysCase &row : cases) {
        SCOPED_TRACE(row.what);
        vantora::testing::UiHarness ui;
        runtime::MemoryUserDefaults defaults;
        ToggleAppearance appearance(defaults);
        appearance.setColor(ToggleColor::blue);
        auto *before = new QPushButton(QStringLiteral("Before"));
        auto *picker = new ToggleColorPicker(appearance);
        auto *after = new QPushButton(QStringLiteral("After"));
        auto *layout = new QVBoxLayout(&ui.window);
        layout->addWidget(before);
        layout->addWidget(picker);
        layout->addWidget(after);
        vantora::testing::activate(ui.window);
        before->setFocus(Qt::OtherFocusReason);
        for (const Qt::Key key : row.keys)
            QTest::keyClick(QApplication::focusWidget(), key);

        EXPECT_EQ(appearance.color(), allToggleColors.at(std::size_t(row.chosen)));
        if (row.focused < 0) {
            EXPECT_EQ(QApplication::focusWidget(), after);
            continue;
        }
        QWidget *focused = picker->swatches().at(std::size_t(row.focused));
        ASSERT_EQ(QApplication::focusWidget(), focused);
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(focused);
        EXPECT_EQ(element->role(), QAccessible::RadioButton);
        EXPECT_TRUE(element->state().focused);
        EXPECT_TRUE(element->state().checked);
        for (const auto *other : picker->swatches()) {
            if (other != focused) {
                EXPECT_FALSE(QAccessible::queryAccessibleInterface(const_cast<recorder::ToggleColorSwatch *>(other))
                                 ->state()
                                 .checked);
            }
        }
    }
}

} // namespace
