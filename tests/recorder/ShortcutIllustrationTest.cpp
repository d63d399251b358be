#include "ActiveWindow.h"
#include "ui/UiHarness.h"

#include "recorder/LitRows.h"
#include "recorder/ShortcutIllustration.h"
#include "recorder/ShortcutPowerGlyph.h"

#include <QAccessible>
#include <QApplication>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::recorder::LitRows;
using vantora::recorder::ShortcutIllustration;
using vantora::testing::activate;
using vantora::testing::deactivateAll;

namespace {

TEST(ShortcutPowerGlyph, StretchesItsGridToTheRectangle)
{
    const QPainterPath path = vantora::recorder::shortcutPowerGlyph(QRectF(0, 0, 12, 20));
    const QPointF stemTop = path.elementAt(0);
    const QPointF stemBottom = path.elementAt(1);
    EXPECT_NEAR(stemTop.x(), 6, 1e-4);
    EXPECT_NEAR(stemTop.y(), 1.6667, 1e-3);
    EXPECT_NEAR(stemBottom.y(), 8.6112, 1e-3);
    EXPECT_NEAR(path.boundingRect().bottom(), 18.3333, 1e-3) << "the ring's lowest point";
    EXPECT_NEAR(path.boundingRect().center().x(), 6, 1e-3);
}

TEST(LitRows, NeverRepeatsTheRowsOfTheStepBefore)
{
    struct Case {
        std::set<int> current, candidate, expected;
    };
    const Case cases[] = {
        {{1}, {1}, {2}},
        {{2}, {2}, {0}},
        {{0, 2}, {0, 2}, {1}},
        {{1}, {0, 1}, {0, 1}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LitRows::avoidingRepeat(c.current, c.candidate), c.expected);

    LitRows rows(7);
    std::set<int> current;
    for (int step = 0; step < 1000; ++step) {
        const std::set<int> next = rows.next(current);
        ASSERT_NE(next, current);
        ASSERT_TRUE(next.size() == 1 || next.size() == 2);
        current = next;
    }
}

class ShortcutIllustrationTest : public ::testing::Test {
protected:
    vantora::testing::UiHarness ui;

    ShortcutIllustration *show(bool isPanel)
    {
        auto *picture = new ShortcutIllustration(isPanel, 11, &ui.window);
        ui.window.show();
        activate(ui.window);
        ui.runUntilIdle();
        return picture;
    }
};

TEST_F(ShortcutIllustrationTest, ThePanelChangesFirstAfterOneSecondThenEveryThree)
{
    auto *picture = show(true);
    ui.advance(999ms);
    EXPECT_TRUE(picture->litRows().empty());
    ui.advance(1ms);
    const std::set<int> first = picture->litRows();
    EXPECT_FALSE(first.empty());
    ui.advance(2999ms);
    EXPECT_EQ(picture->litRows(), first);
    ui.advance(1ms);
    EXPECT_NE(picture->litRows(), first);
}

TEST_F(ShortcutIllustrationTest, TheButtonIsPressedAfterOnePointSixSecondsHeldBrieflyAndPressedAgain)
{
    auto *picture = show(false);
    ui.advance(1599ms);
    EXPECT_FALSE(picture->isPowerPressed());
    ui.advance(1ms);
    EXPECT_TRUE(picture->isPowerPressed());
    ui.advance(560ms);
    EXPECT_FALSE(picture->isPowerPressed());
    ui.advance(2799ms);
    EXPECT_FALSE(picture->isPowerPressed());
    ui.advance(1ms);
    EXPECT_TRUE(picture->isPowerPressed()) << "every 3.36 s";
}

TEST_F(ShortcutIllustrationTest, RestsWhenTheWindowIsInactiveOrMotionIsReducedAndStartsOverAfter)
{
    auto *picture = show(false);
    ui.advance(1600ms);
    ASSERT_TRUE(picture->isPowerPressed());

    deactivateAll();
    ui.runUntilIdle();
    EXPECT_FALSE(picture->isPowerPressed()) << "no lit symbol stays behind";
    ui.advance(10s);
    EXPECT_FALSE(picture->isPowerPressed());

    activate(ui.window);
    ui.runUntilIdle();
    ui.advance(1599ms);
    EXPECT_FALSE(picture->isPowerPressed()) << "the first press comes 1.6 s after, not at once";
    ui.advance(1ms);
    EXPECT_TRUE(picture->isPowerPressed());

    ui.setReduceMotion(true);
    ui.runUntilIdle();
    EXPECT_FALSE(picture->isPowerPressed());
    ui.advance(10s);
    EXPECT_FALSE(picture->isPowerPressed());
    EXPECT_FALSE(picture->isMoving());
}

TEST_F(ShortcutIllustrationTest, NothingRunsOnceThePictureIsHidden)
{
    auto *picture = show(true);
    EXPECT_TRUE(picture->isMoving());
    ui.window.hide();
    ui.runUntilIdle();
    EXPECT_FALSE(picture->isMoving());
}

TEST_F(ShortcutIllustrationTest, AssistiveTechnologiesDoNotSeeThePictures)
{
    const ShortcutIllustration *panel = show(true);
    const ShortcutIllustration *button = show(false);
    QAccessibleInterface *row = QAccessible::queryAccessibleInterface(&ui.window);
    ASSERT_NE(row, nullptr);
    for (int index = 0; index < row->childCount(); ++index) {
        const QObject *child = row->child(index)->object();
        EXPECT_NE(child, panel);
        EXPECT_NE(child, button);
    }
}

} // namespace
