#include "ui/UiHarness.h"

#include "controls/LightToggle.h"
#include "controls/TogglePalette.h"
#include "runtime/UserDefaults.h"
#include "ui/Colours.h"
#include "ui/MotionRecorder.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;

namespace vantora {
namespace {

using ui::Animation;
using ui::ColorScheme;

TEST(ToggleVisual, KnobPlacesAndRimsFollowTheLook)
{
    struct Row {
        const char *name;
        ToggleLook look;
        qreal knobLeft, knobRight;
        qreal rimWidth;
        QColor middleRim;
        qreal opacity;
    };
    const QColor restingGrey = ui::colours::grey255(193);
    const QColor otherGrey = ui::colours::grey(0.88);
    const Row rows[] = {
        {"off and reachable rests on the left", {false, false}, 3, 33, 1, restingGrey, 1},
        {"on and reachable moves right and narrows", {true, false}, 20, 48, 0.75,
         togglePalette(ToggleColor::amber).knobRimGradient[1], 1},
        {"unavailable and off", {false, true}, 4, 32, 0.75, otherGrey, 0.5},
        {"unavailable but on stays on the off side", {true, true}, 4, 32, 0.75, otherGrey, 0.5},
        {"a swatch's knob is centred", {true, false, ToggleColor::blue, true}, 3, 27, 0.75,
         togglePalette(ToggleColor::blue).knobRimGradient[1], 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ToggleVisual visual = ToggleVisual::of(row.look);
        EXPECT_DOUBLE_EQ(visual.knob.left(), row.knobLeft);
        EXPECT_DOUBLE_EQ(visual.knob.right(), row.knobRight);
        EXPECT_DOUBLE_EQ(visual.knob.height(), 18);
        EXPECT_DOUBLE_EQ(visual.knobRimWidth, row.rimWidth);
        EXPECT_EQ(visual.knobRim[1], row.middleRim);
        EXPECT_DOUBLE_EQ(visual.opacity, row.opacity);
    }
    EXPECT_NEAR(ToggleVisual::of({true, false}).glow.alphaF(), 0.3, 0.001);
    EXPECT_EQ(ToggleVisual::of({true, true}).glow.alphaF(), 0.0f);
}

TEST(ToggleVisual, TheInnermostChangeChoosesTheAnimation)
{
    const ToggleLook off{false, false, ToggleColor::amber};
    struct Row {
        const char *name;
        ToggleLook after;
        Animation expected;
    };
    const Row rows[] = {
        {"on and a new colour", {true, false, ToggleColor::aqua}, Animation::easeInOut(0.18)},
        {"a new colour only", {false, false, ToggleColor::aqua}, Animation::easeInOut(0.22)},
        {"availability only", {false, true, ToggleColor::amber}, Animation::easeOut(0.15)},
        {"nothing", off, Animation::none()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(toggleAnimation(off, row.after), row.expected);
    }
    // An on light that becomes unreachable also changes its look.
    EXPECT_EQ(toggleAnimation({true, false}, {true, true}), Animation::easeInOut(0.18));
}

TEST(TogglePalette, MapsDisplayP3IntoSrgb)
{
    // Amber (255, 170, 0) in Display P3 lies outside sRGB: red clamps, green drops to 165.
    const QColor amber = togglePalette(ToggleColor::amber).toggleGradient[0];
    EXPECT_NEAR(amber.redF(), 1.0, 1.0 / 255);
    EXPECT_NEAR(amber.greenF(), 165.1 / 255, 1.0 / 255);
    EXPECT_NEAR(amber.blueF(), 0.0, 1.0 / 255);
    // Translucent knob fills keep their opacity.
    EXPECT_FLOAT_EQ(togglePalette(ToggleColor::aqua).knobFillGradient[1].alphaF(), 0.2f);
}

struct LightToggleTest : ::testing::Test {
    UiHarness ui;
    LightToggle *toggle = new LightToggle(&ui.window);
    QSignalSpy flips{toggle, &LightToggle::flipRequested};

    void SetUp() override { ui.window.show(); }

    QColor pixel(int x, int y) const { return toggle->grab().toImage().pixelColor(x, y); }
};

TEST_F(LightToggleTest, APressAsksForTheFlipAndLeavesTheSwitchToTheOwner)
{
    toggle->setOn(true);
    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_EQ(flips.count(), 1);
    EXPECT_EQ(flips.at(0).at(0).toBool(), false);
    EXPECT_TRUE(toggle->isChecked());

    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Space);
    QTest::keyClick(toggle, Qt::Key_Return);
    EXPECT_EQ(flips.count(), 3);
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(LightToggleTest, AnAssistiveToggleIsARequestToo)
{
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(toggle);
    ASSERT_EQ(element->role(), QAccessible::CheckBox);
    element->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    ASSERT_EQ(flips.count(), 1);
    EXPECT_EQ(flips.at(0).at(0).toBool(), true);
    EXPECT_FALSE(toggle->isChecked());
}

TEST_F(LightToggleTest, AnUnreachableLightThatIsOnReadsCheckedAndUnavailable)
{
    toggle->setOn(true);
    toggle->setUnavailable(true);
    const QAccessible::State state = QAccessible::queryAccessibleInterface(toggle)->state();
    EXPECT_TRUE(state.checked);
    EXPECT_TRUE(state.disabled);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(flips.count(), 0);
}

TEST_F(LightToggleTest, TheKnobIsDrawnWhereTheStatePutsIt)
{
    ui.environment().set(ui::colorSchemeKey, ColorScheme::Dark);
    // The track starts at (4, 10) in the 60 × 44 button; the knob's centre lies at track
    // x 18 when off and 34 when on.
    const QColor offKnob = pixel(4 + 18, 22);
    const QColor offTrack = pixel(4 + 34, 22);
    toggle->setOn(true);
    ui.advance(300ms);
    const QColor onKnob = pixel(4 + 34, 22);
    EXPECT_NEAR(offKnob.redF(), offKnob.blueF(), 0.02) << "a grey knob";
    EXPECT_GT(offKnob.lightnessF(), offTrack.lightnessF() + 0.3);
    EXPECT_GT(onKnob.redF() - onKnob.blueF(), 0.3) << "an amber knob";
}

TEST_F(LightToggleTest, TheSharedColourRecoloursTogglesButNotSwatches)
{
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    ui.environment().set(toggleAppearanceKey, QPointer<ToggleAppearance>(&appearance));
    auto *swatch = new LightToggleArtwork(&ui.window);
    swatch->apply({true, false, ToggleColor::green, true});
    swatch->show();
    toggle->setOn(true);
    ui.advance(300ms);

    ui::MotionRecorder recorder;
    appearance.setColor(ToggleColor::blue);
    EXPECT_EQ(toggle->artwork()->resolvedColor(), ToggleColor::blue);
    EXPECT_EQ(recorder.animationsOf(toggle->artwork(), "toggleVisual"), std::vector<Animation>{Animation::easeInOut(0.22)});
    EXPECT_TRUE(recorder.animationsOf(swatch, "toggleVisual").empty());
    ui.advance(300ms);
    EXPECT_EQ(toggle->artwork()->presentedVisual(), ToggleVisual::of({true, false, ToggleColor::blue}));
}

TEST_F(LightToggleTest, AToggleBuiltApartLooksLikeWhereverItIsShown)
{
    // As a list row or a page is: built on its own, placed afterwards.
    QWidget *row = new QWidget;
    auto *placed = new LightToggle(row);
    runtime::MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    appearance.setColor(ToggleColor::aqua);
    ui.environment().set(ui::colorSchemeKey, ColorScheme::Dark);
    ui.environment().set(toggleAppearanceKey, QPointer<ToggleAppearance>(&appearance));
    row->setParent(&ui.window);
    row->show();
    EXPECT_EQ(placed->artwork()->resolvedColor(), ToggleColor::aqua);
    EXPECT_EQ(placed->artwork()->presentedVisual(),
              ToggleVisual::of({false, false, ToggleColor::aqua, false, ColorScheme::Dark}))
        << "dark greys at once";
}

TEST_F(LightToggleTest, ReduceMotionMakesEveryChangeImmediate)
{
    ui.setReduceMotion(true);
    ui::MotionRecorder recorder;
    toggle->setOn(true);
    EXPECT_EQ(recorder.animationsOf(toggle->artwork(), "toggleVisual"), std::vector<Animation>{Animation::none()});
    EXPECT_EQ(toggle->artwork()->presentedVisual(), ToggleVisual::of({true, false}));
}

} // namespace
} // namespace vantora
