#include "ActiveWindow.h"
#include "ui/UiHarness.h"

#include "controls/BrightnessScrollTarget.h"
#include "controls/LightToggle.h"
#include "panel/LightRow.h"
#include "panel/LightRowParts.h"
#include "panel/LightRowTexts.h"
#include "panel/PlainButton.h"
#include "ui/ElidedLabel.h"
#include "ui/MotionRecorder.h"
#include "ui/PlainToolTip.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;
using vantora::testing::activate;

namespace vantora {
namespace {

HueLight dimmableLight(double brightness = 50)
{
    HueLight light;
    light.id = QStringLiteral("desk");
    light.name = QStringLiteral("Desk");
    light.roomID = QStringLiteral("office");
    light.roomName = QStringLiteral("Office");
    light.isOn = true;
    light.isReachable = true;
    light.brightness = brightness;
    return light;
}

HueLight plug()
{
    HueLight light = dimmableLight();
    light.name = QStringLiteral("Plug");
    light.brightness.reset();
    return light;
}

TEST(ScrollEditModel, StepsStayBetweenTheLightsMinimumAndAHundred)
{
    ScrollEditModel edit;
    HueLight light = dimmableLight(100);
    edit.editing(true, false);
    EXPECT_EQ(edit.step(3, light), std::nullopt);
    EXPECT_EQ(edit.value(), std::nullopt);

    light.brightness = 5;
    light.minimumBrightness = 2;
    EXPECT_EQ(edit.step(-2, light), 3.0);
    EXPECT_EQ(edit.step(-3, light), 2.0);
    EXPECT_EQ(edit.step(-3, light), std::nullopt);
    EXPECT_EQ(edit.value(), 2.0);

    EXPECT_EQ(ScrollEditModel().step(3, plug()), std::nullopt);
}

TEST(ScrollEditModel, AnEditThatEndsInFlightSettlesAndTheNextOneGoesOnFromThere)
{
    ScrollEditModel edit;
    const HueLight light = dimmableLight(50);
    edit.editing(true, false);
    edit.step(6, light);
    edit.editing(false, true);
    EXPECT_EQ(edit.value(), 56.0);
    EXPECT_EQ(edit.readout(), std::nullopt);

    // The bridge has not confirmed yet: a new light value in flight keeps the settled value.
    edit.lightChanged(dimmableLight(53), true);
    edit.editing(true, true);
    EXPECT_EQ(edit.step(3, light), 59.0);
    edit.editing(false, true);

    edit.updatingChanged(false);
    EXPECT_EQ(edit.value(), std::nullopt);
}

TEST(ScrollEditModel, ALightThatGoesOffDropsTheValueEvenMidEdit)
{
    ScrollEditModel edit;
    edit.editing(true, false);
    edit.step(3, dimmableLight(50));
    HueLight off = dimmableLight(50);
    off.isOn = false;
    edit.lightChanged(off, true);
    EXPECT_EQ(edit.value(), std::nullopt);

    edit.step(3, dimmableLight(50));
    edit.lightChanged(dimmableLight(51), false);
    EXPECT_EQ(edit.value(), 53.0) << "an edit in progress keeps its value";
    edit.editing(false, false);
    EXPECT_EQ(edit.value(), std::nullopt);
}

TEST(LightRowTexts, ReadoutRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(lightRowTexts::brightnessReadout(42.5), QStringLiteral("43% brightness"));
    EXPECT_EQ(lightRowTexts::brightnessReadout(42.49), QStringLiteral("42% brightness"));
}

TEST(LightRowTexts, TooltipsAndHintsFollowTheFirstRuleThatApplies)
{
    HueLight unreachable = dimmableLight();
    unreachable.isReachable = false;
    HueLight off = dimmableLight();
    off.isOn = false;
    HueLight whiteOnly = plug();
    whiteOnly.temperatureRange = MirekRange{153, 500};
    struct Row {
        const char *name;
        HueLight light;
        bool isUpdating;
        const char *iconTip;
        const char *toggleHint;
        const char *rowHint;
    };
    const Row rows[] = {
        {"unreachable", unreachable, true, "Light is unreachable. Check its power.",
         "Light is unreachable. Check its power.", "This light is unreachable"},
        {"switch only", plug(), false, "Use the switch to turn this device on or off.", "Turn light on or off",
         "Brightness and supported colour controls"},
        {"off", off, true, "Click for light controls.", "Updating this light", "Brightness and supported colour controls"},
        {"no brightness", whiteOnly, false, "Click for light controls.", "Turn light on or off",
         "Brightness and supported colour controls"},
        {"dimmable and on", dimmableLight(), false, "Scroll left to dim, right to brighten. Click for controls.",
         "Turn light on or off", "Brightness and supported colour controls"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(lightRowTexts::iconToolTip(row.light), QString::fromUtf8(row.iconTip));
        EXPECT_EQ(lightRowTexts::toggleHint(row.light, row.isUpdating), QString::fromUtf8(row.toggleHint));
        EXPECT_EQ(lightRowTexts::rowHint(row.light), QString::fromUtf8(row.rowHint));
    }
}

struct LightRowTest : ::testing::Test {
    UiHarness ui;
    LightRow *row = new LightRow(&ui.window);
    std::vector<double> brightnessRequests;
    std::vector<bool> switchRequests;
    int opens = 0;

    void SetUp() override
    {
        ui.window.resize(440, 100);
        row->setGeometry(0, 0, 440, LightRow::height);
        ui.window.show();
    }

    // Hands the row its fields and lays it out, as the event loop would before painting.
    void show(const LightRow::Fields &given)
    {
        row->apply(given);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    LightRow::Fields fields(HueLight light, bool busy = false, bool isUpdating = false, bool locked = false)
    {
        return {std::move(light), busy, isUpdating, locked,
                [this](const HueLight &, double value) { brightnessRequests.push_back(value); },
                [this](const HueLight &) { ++opens; },
                [this](const HueLight &, bool on) { switchRequests.push_back(on); }};
    }

    void notches(int count)
    {
        QWheelEvent event(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(-120 * count, 0), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(row->scrollTarget(), &event);
    }

    QLabel *readout() const
    {
        for (auto *label : row->findChildren<QLabel *>()) {
            if (label->text().endsWith(QStringLiteral("% brightness")))
                return label;
        }
        return nullptr;
    }
};

TEST_F(LightRowTest, ALightThatCanOnlyBeSwitchedHasNoButtonButItsSwitchWorks)
{
    row->apply(fields(plug()));
    EXPECT_EQ(row->findChild<PlainButton *>(), nullptr);
    QTest::mouseClick(row->findChild<ui::ElidedLabel *>(), Qt::LeftButton);
    QTest::mouseClick(row->scrollTarget(), Qt::LeftButton);
    EXPECT_EQ(opens, 0);
    QTest::mouseClick(row->toggle(), Qt::LeftButton);
    EXPECT_EQ(switchRequests, std::vector<bool>{false});
}

TEST_F(LightRowTest, TheSwitchAsksOnceAndShowsTheLightUntilTheOwnerAnswers)
{
    HueLight light = dimmableLight();
    light.isOn = false;
    row->apply(fields(light));
    QTest::mouseClick(row->toggle(), Qt::LeftButton);
    EXPECT_EQ(switchRequests, std::vector<bool>{true});
    EXPECT_FALSE(row->toggle()->isOn());
    light.isOn = true;
    row->apply(fields(light));
    EXPECT_TRUE(row->toggle()->isOn());
}

TEST_F(LightRowTest, LockedBrightnessAndABusySwitchAreApart)
{
    row->apply(fields(dimmableLight(), false, false, true));
    EXPECT_TRUE(row->toggle()->isEnabled());
    EXPECT_FALSE(row->scrollTarget()->isDimmingEnabled());

    row->apply(fields(dimmableLight(), true, false, false));
    EXPECT_FALSE(row->toggle()->isEnabled());
    EXPECT_TRUE(row->scrollTarget()->isDimmingEnabled());
}

TEST_F(LightRowTest, AnUnreachableLightStillOpensItsPage)
{
    HueLight light = dimmableLight();
    light.isReachable = false;
    row->apply(fields(light));
    EXPECT_FALSE(row->toggle()->isEnabled());
    EXPECT_FALSE(row->scrollTarget()->isDimmingEnabled());
    ASSERT_NE(row->button(), nullptr);
    EXPECT_EQ(row->button()->accessibleDescription(), QStringLiteral("This light is unreachable"));
    QTest::mouseClick(row->button(), Qt::LeftButton);
    QTest::mouseClick(row->scrollTarget(), Qt::LeftButton);
    EXPECT_EQ(opens, 2);
}

TEST_F(LightRowTest, ScrollingDimsWithAReadoutThatLeavesAQuarterSecondAfterTheLastStep)
{
    row->apply(fields(dimmableLight(50)));
    notches(1);
    notches(2);
    EXPECT_EQ(brightnessRequests, (std::vector<double>{53, 59}));
    ASSERT_NE(readout(), nullptr);
    EXPECT_TRUE(readout()->isVisible());
    EXPECT_EQ(readout()->text(), QStringLiteral("59% brightness"));
    ui.advance(250ms);
    EXPECT_FALSE(readout()->isVisible());
}

TEST_F(LightRowTest, ARefreshDuringAnEditKeepsTheEditTheHoverAndTheButton)
{
    row->apply(fields(dimmableLight(50)));
    PlainButton *button = row->button();
    testing::pointerEnters(row);
    notches(2);

    // The 3-second refresh hands in the same light, then the bridge's first answer.
    row->apply(fields(dimmableLight(50), false, true));
    row->apply(fields(dimmableLight(53), false, true));
    EXPECT_EQ(row->button(), button);
    EXPECT_TRUE(row->isHovered());
    EXPECT_EQ(row->scrollEdit().value(), 56.0);
    EXPECT_TRUE(readout()->isVisible());
    notches(1);
    EXPECT_EQ(brightnessRequests.back(), 59.0);
}

TEST_F(LightRowTest, TheChevronFadesWithTheHoverUnlessMotionIsReduced)
{
    for (const bool reduced : {false, true}) {
        SCOPED_TRACE(reduced ? "reduced motion" : "full motion");
        ui.setReduceMotion(reduced);
        auto *hovered = new LightRow(&ui.window);
        hovered->apply(fields(dimmableLight()));
        hovered->show();
        ui::MotionRecorder recorder;
        testing::pointerEnters(hovered);
        const auto *chevron = hovered->findChild<LightRowChevron *>();
        EXPECT_EQ(recorder.animationsOf(chevron, "chevronOpacity"),
                  std::vector<ui::Animation>{reduced ? ui::Animation::none() : ui::Animation::easeInOut(0.15)});
        ui.advance(200ms);
        EXPECT_EQ(chevron->opacity(), 1.0);
    }
}

TEST_F(LightRowTest, BridgeNamesArePlainTextEverywhere)
{
    HueLight light = dimmableLight();
    light.name = QStringLiteral("<img src=x>");
    light.roomName = QStringLiteral("<b>Hall</b>");
    show(fields(light));
    const auto *name = row->findChild<ui::ElidedLabel *>();
    EXPECT_EQ(name->displayedText(), QStringLiteral("<img src=x>"));
    EXPECT_EQ(ui::plainToolTipOf(*name), QStringLiteral("<img src=x>"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(row->button())->text(QAccessible::Name),
              QStringLiteral("Adjust <img src=x>, <b>Hall</b>"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(row->toggle())->text(QAccessible::Name),
              QStringLiteral("<img src=x>, <b>Hall</b>"));
}

TEST_F(LightRowTest, TheRowButtonPresentsTheNameAndBadgeButNoDecoration)
{
    HueLight light = dimmableLight();
    light.isReachable = false;
    show(fields(light));
    testing::pointerEnters(row);
    std::vector<QString> shown;
    std::vector<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(row->button())};
    while (!pending.empty()) {
        QAccessibleInterface *element = pending.back();
        pending.pop_back();
        for (int index = 0; index < element->childCount(); ++index) {
            QAccessibleInterface *child = element->child(index);
            if (!child->text(QAccessible::Name).isEmpty())
                shown.push_back(child->text(QAccessible::Name));
            EXPECT_EQ(qobject_cast<LightRowChevron *>(child->object()), nullptr);
            EXPECT_EQ(qobject_cast<controls::BrightnessScrollTarget *>(child->object()), nullptr);
            pending.push_back(child);
        }
    }
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("Desk"), QStringLiteral("Unreachable")}));
}

TEST_F(LightRowTest, TheKeyboardReachesAndPressesBothControls)
{
    row->apply(fields(dimmableLight()));
    activate(ui.window);
    row->button()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row->button(), Qt::Key_Return);
    EXPECT_EQ(opens, 1);
    QTest::keyClick(row->button(), Qt::Key_Tab);
    EXPECT_TRUE(row->toggle()->hasFocus());
    QTest::keyClick(row->toggle(), Qt::Key_Space);
    EXPECT_EQ(switchRequests, std::vector<bool>{false});
}

TEST_F(LightRowTest, TheSwitchKeepsTheKeyboardWhileItCannotBeUsed)
{
    struct Case {
        const char *name;
        LightRow::Fields meanwhile;
    };
    HueLight unreachable = dimmableLight();
    unreachable.isReachable = false;
    const Case cases[] = {
        {"its change in flight", fields(dimmableLight(), true, true)},
        {"controls locked", fields(dimmableLight(), true)},
        {"the light unreachable for a moment", fields(unreachable)},
    };
    activate(ui.window);
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        show(fields(dimmableLight()));
        row->toggle()->setFocus(Qt::TabFocusReason);
        switchRequests.clear();
        QTest::keyClick(row->toggle(), Qt::Key_Space);
        show(test.meanwhile);
        show(fields(dimmableLight()));

        // The next key press goes to the same switch, not to whatever control came next.
        EXPECT_TRUE(row->toggle()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(switchRequests, std::vector<bool>({false, false}));
        EXPECT_EQ(opens, 0);
    }
}

// A switch-only light the bridge cannot reach has its switch disabled; Tab still reaches the
// light, read as that switch, unavailable, saying why, and the keys pass back to the switch
// once it can take them.
TEST_F(LightRowTest, AnUnreachableSwitchOnlyLightIsAStopReadAsItsUnavailableSwitch)
{
    HueLight unreachable = plug();
    unreachable.isReachable = false;
    activate(ui.window);
    show(fields(plug()));
    row->toggle()->setFocus(Qt::TabFocusReason);
    QWidget *stop = row->plainArea();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->focusPolicy(), Qt::NoFocus) << "a switch that works is the light's one stop";

    show(fields(unreachable));
    EXPECT_TRUE(stop->hasFocus()) << "the light keeps the keyboard as its switch is disabled";
    EXPECT_TRUE(stop->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(stop);
    EXPECT_EQ(element->role(), QAccessible::CheckBox);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Plug, Office"));
    EXPECT_EQ(element->text(QAccessible::Description), lightRowTexts::toggleHint(unreachable, false));
    EXPECT_TRUE(element->state().disabled);
    EXPECT_TRUE(element->state().checked);
    QTest::keyClick(stop, Qt::Key_Space);
    EXPECT_TRUE(switchRequests.empty());

    show(fields(plug()));
    EXPECT_TRUE(row->toggle()->hasFocus()) << "reachable again, the switch takes the keys back";
    EXPECT_EQ(stop->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(QAccessible::queryAccessibleInterface(stop)->role(), QAccessible::CheckBox);
}

} // namespace
} // namespace vantora
