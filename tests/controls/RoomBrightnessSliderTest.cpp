#include "ActiveWindow.h"
#include "ui/UiHarness.h"

#include "controls/LightValueSlider.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomEdgeSlider.h"

#include "runtime/UserDefaults.h"
#include "store/ToggleAppearance.h"
#include "ui/MotionRecorder.h"
#include "ui/TextLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using namespace std::chrono_literals;
using testing::UiHarness;
using vantora::testing::activate;

HueLight lit(double brightness)
{
    return {.id = QString::number(brightness), .isOn = true, .isReachable = true, .brightness = brightness};
}

LightRoom kitchen(std::vector<HueLight> lights)
{
    return {.id = QStringLiteral("k"), .name = QStringLiteral("Kitchen"), .lights = std::move(lights)};
}

bool sendKey(QWidget *widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    return press.isAccepted();
}

struct EdgeBench {
    UiHarness ui;
    RoomEdgeSlider *slider = new RoomEdgeSlider(nullptr, &ui.window);
    QSignalSpy edits{slider, &RoomEdgeSlider::valueEdited};
    QSignalSpy editing{slider, &RoomEdgeSlider::editingChanged};

    EdgeBench()
    {
        slider->setRange({1, 100});
        slider->setValue(50);
        ui.window.show();
        activate(ui.window);
    }
};

TEST(RoomEdgeSliderTest, ThePercentageLineStaysUntilAPauseAfterTheLastKeyStep)
{
    EdgeBench bench;
    EXPECT_TRUE(bench.slider->track()->hasFocus()) << "an enabled slider takes focus when shown";
    EXPECT_TRUE(sendKey(bench.slider->track(), Qt::Key_Up));
    bench.ui.advance(100ms);
    EXPECT_TRUE(sendKey(bench.slider->track(), Qt::Key_Up));
    bench.ui.advance(140ms);
    EXPECT_TRUE(bench.slider->showsPercentage());
    EXPECT_EQ(bench.slider->percentageText(), QStringLiteral("52%"));
    bench.ui.advance(10ms);
    EXPECT_FALSE(bench.slider->showsPercentage());
    EXPECT_TRUE(bench.editing.isEmpty()) << "keys are no edit";
}

// The keys of a light's brightness slider, the arrows a point each as the room's others step.
TEST(RoomEdgeSliderTest, TakesTheKeysOfALightsSlider)
{
    const std::vector<std::pair<int, double>> steps{
        {Qt::Key_Up, 51},         {Qt::Key_Right, 51},     {Qt::Key_Down, 49}, {Qt::Key_Left, 49},
        {Qt::Key_PageUp, 59.9},   {Qt::Key_PageDown, 40.1}, {Qt::Key_Home, 1},  {Qt::Key_End, 100},
    };
    EdgeBench bench;
    for (const auto &[key, value] : steps) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        bench.slider->setValue(50);
        EXPECT_TRUE(sendKey(bench.slider->track(), key));
        EXPECT_DOUBLE_EQ(bench.slider->value(), value);
        EXPECT_DOUBLE_EQ(bench.edits.takeLast().at(0).toDouble(), value);
    }
}

TEST(RoomEdgeSliderTest, ADragSetsTheValueFromTheTopAndKeepsTheLineUntilItEnds)
{
    EdgeBench bench;
    QWidget *track = bench.slider->track();
    QTest::mousePress(track, Qt::LeftButton, {}, QPoint(16, 4));
    EXPECT_DOUBLE_EQ(bench.slider->value(), 100);
    QTest::mouseMove(track, QPoint(16, 72));
    EXPECT_NEAR(bench.slider->value(), 50.5, 1e-9);
    bench.ui.advance(1s);
    EXPECT_TRUE(bench.slider->showsPercentage()) << "no hiding while dragging";
    QTest::mouseRelease(track, Qt::LeftButton, {}, QPoint(16, 140));
    ASSERT_EQ(bench.editing.size(), 2);
    EXPECT_FALSE(bench.editing.at(1).at(0).toBool());
    bench.ui.advance(150ms);
    EXPECT_FALSE(bench.slider->showsPercentage());
}

TEST(RoomEdgeSliderTest, DisablingHidesTheLineAtOnceAndEndsADrag)
{
    EdgeBench bench;
    QTest::mousePress(bench.slider->track(), Qt::LeftButton, {}, QPoint(16, 40));
    bench.slider->setEnabled(false);
    EXPECT_FALSE(bench.slider->showsPercentage());
    EXPECT_EQ(bench.slider->percentageText(), QStringLiteral("\u2014"));
    ASSERT_EQ(bench.editing.size(), 2);
    EXPECT_FALSE(bench.editing.at(1).at(0).toBool());
    EXPECT_FALSE(sendKey(bench.slider->track(), Qt::Key_Up));
    bench.ui.advance(1s);
    EXPECT_FALSE(bench.slider->showsPercentage());

    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(bench.slider->track());
    EXPECT_EQ(element->text(QAccessible::Value), QStringLiteral("No lights are on"));
    // From Qt 6.8 on the value reaches readers as its text alone, with nothing to write.
    if (QAccessibleValueInterface *value = element->valueInterface()) {
        value->setCurrentValue(20.0);
        EXPECT_EQ(bench.edits.size(), 1) << "only the drag's first step";
    }
}

TEST(RoomEdgeSliderTest, TicksBrightenUnderThePointerAndTheKnobWidensWhileDragging)
{
    EdgeBench bench;
    RoomEdgeTrack *track = bench.slider->track();
    testing::pointerEnters(track);
    bench.ui.advance(75ms);
    EXPECT_GT(track->tickOpacity(), 0.055);
    EXPECT_LT(track->tickOpacity(), 0.13);
    bench.ui.advance(100ms);
    EXPECT_DOUBLE_EQ(track->tickOpacity(), 0.13);

    bench.ui.setReduceMotion(true);
    QTest::mousePress(track, Qt::LeftButton, {}, QPoint(16, 40));
    EXPECT_DOUBLE_EQ(track->knobWidth(), 20) << "at once under Reduce Motion";
    QTest::mouseRelease(track, Qt::LeftButton, {}, QPoint(16, 40));
    EXPECT_DOUBLE_EQ(track->knobWidth(), 16);
}

TEST(RoomEdgeSliderTest, TheFillMovesToTheUsersNewToggleColour)
{
    UiHarness ui;
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    auto *slider = new RoomEdgeSlider(&appearance, &ui.window);
    slider->setRange({1, 100});
    slider->setValue(100);
    ui.window.show();
    // Beside the ticks, above the rounded bottom corners.
    const auto fill = [&] { return slider->track()->grab().toImage().pixelColor(2, 100); };
    EXPECT_GT(fill().redF() - fill().blueF(), 0.5) << "amber at first";

    ui::MotionRecorder motion;
    appearance.setColor(ToggleColor::blue);
    EXPECT_EQ(motion.animationsOf(slider->track(), "fillTop"), std::vector{ui::Animation::easeOut(0.18)});
    ui.advance(300ms);
    EXPECT_GT(fill().blueF() - fill().redF(), 0.5) << "blue once the change has moved";
}

TEST(RoomBrightnessSliderTest, TheVerticalStyleStepsWithUpAndDownAndSendsEvenAtTheTop)
{
    UiHarness ui;
    RoomBrightnessSlider control(RoomBrightnessStyle::vertical, nullptr, &ui.window);
    QSignalSpy changes(&control, &RoomBrightnessSlider::changeRequested);
    control.setRoom(kitchen({lit(100)}));
    ui.window.show();
    EXPECT_TRUE(sendKey(control.compactSlider(), Qt::Key_Up)) << "passed on by the inner slider";
    ASSERT_EQ(changes.size(), 1);
    EXPECT_DOUBLE_EQ(changes.at(0).at(0).toDouble(), 100);
    sendKey(control.compactSlider(), Qt::Key_Left);
    EXPECT_EQ(changes.size(), 2) << "the inner slider keeps its own keys";
    EXPECT_DOUBLE_EQ(changes.at(1).at(0).toDouble(), 100 - 0.99);
}

TEST(RoomBrightnessSliderTest, ARoomWithNothingLitDisablesTheControlAndSaysWhy)
{
    UiHarness ui;
    RoomBrightnessSlider control(RoomBrightnessStyle::percentage, nullptr, &ui.window);
    QSignalSpy changes(&control, &RoomBrightnessSlider::changeRequested);
    HueLight light = lit(60);
    light.isOn = false;
    control.setRoom(kitchen({light}));
    ui.window.show();
    EXPECT_FALSE(control.compactSlider()->isEnabled());
    EXPECT_EQ(control.readout()->text(), QStringLiteral("\u2014"));
    EXPECT_EQ(control.compactSlider()->accessibleValueText(), QStringLiteral("No lights are on"));
    QTest::mouseClick(control.compactSlider(), Qt::LeftButton, {}, QPoint(60, 16));
    EXPECT_TRUE(changes.isEmpty());

    control.setRoom(kitchen({lit(40), lit(41)}));
    EXPECT_TRUE(control.compactSlider()->isEnabled());
    EXPECT_EQ(control.readout()->text(), QStringLiteral("41%"));
    EXPECT_EQ(control.compactSlider()->accessibleValueText(), QStringLiteral("41 percent, average"));
    EXPECT_EQ(control.compactSlider()->accessibleLabel(), QStringLiteral("Kitchen brightness"));
}

// The focus is on the slider, and a reader reads no tooltip: the slider itself tells what it
// does with lights on, and why it is off without.
TEST(RoomBrightnessSliderTest, TheFocusedSliderIsDescribedByItsHelpInEveryStyle)
{
    HueLight dark = lit(60);
    dark.isOn = false;
    struct Row {
        const char *name;
        std::vector<HueLight> lights;
        QString description;
    };
    const Row rows[] = {
        {"lights on", {lit(40)}, QStringLiteral("Adjusts lights that are on. Off lights stay off.")},
        {"nothing lit", {dark}, QStringLiteral("Turn on a dimmable light to adjust brightness.")},
    };
    for (const RoomBrightnessStyle style : allRoomBrightnessStyles) {
        for (const Row &row : rows) {
            SCOPED_TRACE(rawValue(style).toStdString() + ", " + row.name);
            UiHarness ui;
            RoomBrightnessSlider control(style, nullptr, &ui.window);
            control.setRoom(kitchen(row.lights));
            QWidget *focusable = control.compactSlider() ? static_cast<QWidget *>(control.compactSlider())
                                                         : static_cast<QWidget *>(control.edgeSlider()->track());
            EXPECT_EQ(QAccessible::queryAccessibleInterface(focusable)->text(QAccessible::Description),
                      row.description);
        }
    }
}

TEST(RoomEdgeSliderTest, TheTrackShowsTheFocusRingUntilThePointerTakesItUp)
{
    EdgeBench bench;
    RoomEdgeTrack *track = bench.slider->track();
    track->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(track->showsFocusRing()) << "shown and focused as the control opens";
    QTest::mousePress(track, Qt::LeftButton, {}, QPoint(16, 70));
    QTest::mouseRelease(track, Qt::LeftButton, {}, QPoint(16, 70));
    EXPECT_FALSE(track->showsFocusRing());
    EXPECT_TRUE(sendKey(track, Qt::Key_Up));
    EXPECT_TRUE(track->showsFocusRing()) << "a key brings it back";
    track->clearFocus();
    track->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(track->showsFocusRing());
}

TEST(RoomBrightnessSliderTest, EveryStyleFitsItsFootprint)
{
    for (const RoomBrightnessStyle style : allRoomBrightnessStyles) {
        SCOPED_TRACE(rawValue(style).toStdString());
        UiHarness ui;
        RoomBrightnessSlider control(style, nullptr, &ui.window);
        control.setRoom(kitchen({lit(40)}));
        ui.window.show();
        QWidget *inner = control.compactSlider() ? static_cast<QWidget *>(control.compactSlider())
                                                 : static_cast<QWidget *>(control.edgeSlider());
        EXPECT_TRUE(control.rect().contains(inner->geometry()));
        EXPECT_EQ(control.size(), footprint(style));
    }
}

} // namespace
} // namespace vantora::controls
