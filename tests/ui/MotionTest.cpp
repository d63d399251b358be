#include "ui/UiHarness.h"

#include "ui/AnimatedValue.h"
#include "ui/FrameClock.h"
#include "ui/MotionRecorder.h"
#include "ui/Spinner.h"
#include "ui/Transaction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using vantora::testing::UiHarness;
using vantora::ui::AnimatedValue;
using vantora::ui::Animation;
using vantora::ui::FrameClock;
using vantora::ui::MotionRecorder;
using vantora::ui::Spinner;
using vantora::ui::UnderReduceMotion;
using vantora::ui::withAnimation;

namespace {

struct Probe final : QWidget {
    explicit Probe(QWidget *parent) : QWidget(parent) {}
    AnimatedValue<double> level{this, "level", 0};
};

struct MotionTest : ::testing::Test {
    UiHarness ui;
    Probe *probe = new Probe(&ui.window);
    MotionRecorder recorder;

    void SetUp() override { ui.window.show(); }
    FrameClock &frames() { return FrameClock::of(&ui.window); }
};

} // namespace

TEST_F(MotionTest, ReduceMotionTurnsAnimationsIntoImmediateChanges)
{
    struct Row {
        std::string name;
        bool reduceMotion;
        UnderReduceMotion rule;
        Animation recorded;
        bool immediate;
    };
    const Animation fade = Animation::easeOut(0.24);
    const std::vector<Row> rows = {
        {"full motion animates", false, UnderReduceMotion::Drop, fade, false},
        {"reduce motion drops the animation", true, UnderReduceMotion::Drop, Animation::none(), true},
        {"a motion that keeps its timing still runs", true, UnderReduceMotion::Keep, fade, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        probe->level.setImmediately(0);
        recorder.clear();
        ui.setReduceMotion(row.reduceMotion);

        probe->level.animateTo(1, fade, row.rule);

        EXPECT_EQ(recorder.animationsOf(probe, "level"), std::vector<Animation>{row.recorded});
        EXPECT_EQ(probe->level.value() == 1, row.immediate);
        EXPECT_EQ(probe->level.isAnimating(), !row.immediate);
        ui.advance(1s);
        EXPECT_EQ(probe->level.value(), 1);
        EXPECT_FALSE(frames().isRunning());
    }
}

TEST_F(MotionTest, FramesMoveTheValueAlongItsCurveOnTheVirtualClock)
{
    const Animation curve = Animation::easeInOut(0.2);
    probe->level.animateTo(1, curve);
    EXPECT_EQ(probe->level.value(), 0);
    EXPECT_EQ(probe->level.target(), 1);

    ui.advance(100ms); // frames at 16 ms steps: the last one at 96 ms
    EXPECT_DOUBLE_EQ(probe->level.value(), curve.progress(0.096));
    EXPECT_TRUE(frames().isRunning());

    ui.advance(200ms);
    EXPECT_EQ(probe->level.value(), 1);
    EXPECT_FALSE(probe->level.isAnimating());
    EXPECT_FALSE(frames().isRunning());
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
}

TEST_F(MotionTest, AHiddenWindowStopsItsFrameClockAndLandsEveryMotion)
{
    probe->level.animateTo(1, Animation::spring(0.3, 0.9));
    ui.advance(32ms);
    ASSERT_TRUE(frames().isRunning());

    ui.window.hide();
    ui.runUntilIdle();

    EXPECT_FALSE(frames().isRunning());
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
    EXPECT_EQ(probe->level.value(), 1);
    EXPECT_FALSE(probe->level.isAnimating());

    // While hidden, a new target is reached at once and no frames start.
    probe->level.animateTo(0.5, Animation::spring(0.3, 0.9));
    EXPECT_EQ(probe->level.value(), 0.5);
    EXPECT_FALSE(frames().isRunning());
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
}

TEST_F(MotionTest, ARetargetStartsFromThePresentedValueAndKeepsASpringsSpeed)
{
    const Animation spring = Animation::spring(0.3, 0.9);
    probe->level.animateTo(100, spring);
    ui.advance(48ms);
    const double presented = probe->level.value();
    ASSERT_GT(presented, 0);
    ASSERT_LT(presented, 100);

    probe->level.animateTo(0, spring);
    EXPECT_EQ(probe->level.value(), presented); // no jump

    ui.advance(16ms);
    // Still carried upwards by its speed on the first frame after the turn.
    EXPECT_GT(probe->level.value(), presented);
    ui.advance(2s);
    EXPECT_EQ(probe->level.value(), 0);
}

TEST_F(MotionTest, ValuesTakeTheCurrentTransactionsAnimation)
{
    const Animation reorder = Animation::spring(0.3, 0.9);
    const Animation outer = Animation::easeInOut(0.25);
    withAnimation(outer, [&] {
        withAnimation(reorder, [&] { probe->level.animateTo(1); });
        probe->level.animateTo(2);
    });
    probe->level.animateTo(3);

    EXPECT_EQ(recorder.animationsOf(probe, "level"), (std::vector<Animation>{reorder, outer, Animation::none()}));
    EXPECT_EQ(probe->level.value(), 3);
}

TEST_F(MotionTest, TheSameTargetAgainChangesAndRecordsNothing)
{
    probe->level.animateTo(1, Animation::easeOut(0.2));
    ui.advance(50ms);
    const double midway = probe->level.value();
    probe->level.animateTo(1, Animation::spring(0.3, 0.9));
    EXPECT_EQ(recorder.records().size(), 1u);
    EXPECT_EQ(probe->level.value(), midway);
}

TEST_F(MotionTest, AWidgetThatIsNotOnScreenChangesAtOnce)
{
    probe->hide();
    probe->level.animateTo(1, Animation::easeOut(0.2));
    EXPECT_EQ(probe->level.value(), 1);
    EXPECT_FALSE(frames().isRunning());
}

TEST_F(MotionTest, ASpinnerTurnsOnlyWhileItIsShown)
{
    auto *spinner = new Spinner(&ui.window);
    spinner->show();
    EXPECT_TRUE(spinner->isTurning());

    ui.advance(Spinner::period / Spinner::spokes * 3 + FrameClock::interval); // frames fall on 16 ms steps
    EXPECT_EQ(spinner->leadingSpoke(), 3);
    ui.advance(Spinner::period);
    EXPECT_EQ(spinner->leadingSpoke(), 3);

    spinner->hide();
    EXPECT_FALSE(spinner->isTurning());
    ui.runUntilIdle();
    EXPECT_FALSE(frames().isRunning());

    spinner->show();
    ui.window.hide();
    ui.runUntilIdle();
    EXPECT_FALSE(spinner->isTurning());
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
}

TEST_F(MotionTest, WhatMovesIntoAnotherWindowMovesOnThatWindowsClockAlone)
{
    QWidget other;
    vantora::ui::Environment::scope(&other).set(vantora::ui::viewRuntimeKey,
                                                vantora::ui::ViewRuntime{&ui.tasks.clock, &ui.tasks.executor});
    other.show();
    auto *spinner = new Spinner(&ui.window);
    spinner->show();
    probe->level.animateTo(1, Animation::easeInOut(0.2));

    probe->setParent(&other);
    spinner->setParent(&other);
    probe->show();
    spinner->show();
    probe->level.animateTo(0.5, Animation::easeInOut(0.2));

    EXPECT_FALSE(frames().isRunning()) << "the first window lets go";
    EXPECT_TRUE(FrameClock::of(&other).isRunning());
    delete probe;
    delete spinner;
    ui.advance(1s);
    EXPECT_EQ(ui.tasks.clock.sleeperCount(), 0u);
}
