#include "ui/UiHarness.h"

#include "controls/BrightnessScrollTarget.h"

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using namespace std::chrono_literals;
using testing::UiHarness;

struct ScrollBench {
    UiHarness ui;
    QWidget *enclosing = new QWidget(&ui.window);
    BrightnessScrollTarget *target = new BrightnessScrollTarget(enclosing);
    QSignalSpy editing{target, &BrightnessScrollTarget::editingChanged};
    QSignalSpy steps{target, &BrightnessScrollTarget::stepped};
    QSignalSpy clicks{target, &BrightnessScrollTarget::clicked};

    ScrollBench()
    {
        enclosing->setGeometry(0, 0, 100, 100);
        target->setGeometry(10, 10, 40, 40);
        target->setDimmingEnabled(true);
        ui.window.show();
    }

    // Sends a wheel event and tells whether the target kept it.
    bool scroll(QPoint pixels, QPoint angle, Qt::ScrollPhase phase = Qt::NoScrollPhase, bool inverted = false)
    {
        QWheelEvent event(QPointF(20, 20), QPointF(20, 20), pixels, angle, Qt::NoButton, Qt::NoModifier, phase,
                          inverted);
        QCoreApplication::sendEvent(target, &event);
        return event.isAccepted();
    }
    bool notch(int notches) { return scroll({}, {notches * -120, 0}); }

    std::vector<bool> editingCalls() const
    {
        std::vector<bool> calls;
        for (const auto &call : editing)
            calls.push_back(call.at(0).toBool());
        return calls;
    }
};

TEST(BrightnessScrollTargetTest, OneSwipeIsOneEditThatEndsAQuarterSecondAfterItsLastStep)
{
    ScrollBench bench;
    EXPECT_TRUE(bench.notch(1));
    bench.ui.advance(200ms);
    EXPECT_TRUE(bench.scroll({-4, 1}, {-48, 12}));
    bench.ui.advance(249ms);
    EXPECT_EQ(bench.editingCalls(), std::vector<bool>{true});
    bench.ui.advance(1ms);
    EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
    ASSERT_EQ(bench.steps.size(), 2);
    EXPECT_DOUBLE_EQ(bench.steps.at(0).at(0).toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(bench.steps.at(1).at(0).toDouble(), 1.4);
}

TEST(BrightnessScrollTargetTest, AMomentumEventEndsTheGestureAtOnceAndIsSwallowed)
{
    ScrollBench bench;
    bench.notch(1);
    EXPECT_TRUE(bench.scroll({-30, 0}, {-360, 0}, Qt::ScrollMomentum));
    EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
    EXPECT_EQ(bench.steps.size(), 1);
    bench.ui.advance(1s);
    EXPECT_EQ(bench.editing.size(), 2);
}

TEST(BrightnessScrollTargetTest, VerticalScrollingAndAnyScrollingWhileOffReachTheEnclosingView)
{
    ScrollBench bench;
    EXPECT_FALSE(bench.scroll({0, 8}, {0, 96}));
    EXPECT_FALSE(bench.scroll({3, 3}, {36, 36}));
    bench.target->setDimmingEnabled(false);
    EXPECT_FALSE(bench.notch(1));
    EXPECT_TRUE(bench.editing.isEmpty());
    EXPECT_TRUE(bench.steps.isEmpty());
}

TEST(BrightnessScrollTargetTest, SwitchingDimmingOffEndsTheGestureOnlyIfItStaysOff)
{
    ScrollBench bench;
    bench.notch(1);
    bench.target->setDimmingEnabled(false);
    bench.target->setDimmingEnabled(true);
    bench.ui.runUntilIdle();
    EXPECT_EQ(bench.editingCalls(), std::vector<bool>{true}) << "switched on again before the check ran";

    bench.target->setDimmingEnabled(false);
    EXPECT_EQ(bench.editingCalls(), std::vector<bool>{true}) << "ended on a later turn, not inside the setter";
    bench.ui.runUntilIdle();
    EXPECT_EQ(bench.editingCalls(), (std::vector<bool>{true, false}));
    bench.ui.advance(1s);
    EXPECT_EQ(bench.editing.size(), 2);
}

TEST(BrightnessScrollTargetTest, RemovingTheTargetEndsAGestureOnceAndAnIdleTargetReportsNothing)
{
    ScrollBench idle;
    idle.target->hide();
    EXPECT_TRUE(idle.editing.isEmpty());

    ScrollBench busy;
    busy.notch(2);
    busy.target->hide();
    busy.ui.advance(1s);
    EXPECT_EQ(busy.editingCalls(), (std::vector<bool>{true, false}));

    ScrollBench deleted;
    std::vector<bool> calls;
    QObject::connect(deleted.target, &BrightnessScrollTarget::editingChanged, &deleted.ui.window,
                     [&calls](bool editing) { calls.push_back(editing); });
    deleted.notch(1);
    delete deleted.target;
    deleted.ui.advance(1s);
    EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

TEST(BrightnessScrollTargetTest, AClickNeedsPressAndReleaseInsideAndWorksWhileDimmingIsOff)
{
    ScrollBench bench;
    bench.target->setDimmingEnabled(false);
    QTest::mouseClick(bench.target, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bench.clicks.size(), 1);
    QTest::mousePress(bench.target, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(bench.target, Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(bench.clicks.size(), 1) << "released outside";
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(15, 15), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(bench.target, &release);
    EXPECT_EQ(bench.clicks.size(), 1) << "pressed outside";
}

} // namespace
} // namespace vantora::controls
