#include "recorder/ToggleColorPicker.h"

#include "store/ToggleAppearance.h"

#include "runtime/UserDefaults.h"

#include "ui/PlainToolTip.h"
#include "ui/UiHarness.h"

#include <QAccessible>
#include <QSignalSpy>
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

} // namespace
