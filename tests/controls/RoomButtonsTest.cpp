#include "ui/PaintProbe.h"
#include "ui/UiHarness.h"

#include "controls/HomePowerButton.h"
#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"

#include "ui/PlainToolTip.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using namespace std::chrono_literals;
using testing::paintedAlone;
using testing::strongestAlpha;
using testing::UiHarness;
using Layers = RoomActionButton::Layers;

void pointerLeaves(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

TEST(RoomButtonsTest, AHoveredRoomButtonFadesBetweenItsLayersAndAnActiveChangeShowsAtOnce)
{
    UiHarness ui;
    RoomActionButton button(RoomActionButton::Kind::Power, &ui.window);
    ui.window.show();
    testing::pointerEnters(&button);
    ui.advance(80ms);
    const Layers midway = button.currentLayers();
    EXPECT_GT(midway.hoverImage, 0);
    EXPECT_LT(midway.hoverImage, 1);
    ui.advance(100ms);
    EXPECT_EQ(button.currentLayers(), (Layers{0, 0, 1, 0}));
    button.setActive(true);
    EXPECT_EQ(button.currentLayers(), (Layers{1, 0, 0, 1})) << "not animated";
    pointerLeaves(&button);
    ui.advance(80ms);
    EXPECT_GT(button.currentLayers().backdrop, 0);
    ui.advance(100ms);
    EXPECT_EQ(button.currentLayers(), (Layers{0, 0, 0, 1}));
}

TEST(RoomButtonsTest, UnderReduceMotionHoverChangesAtOnce)
{
    UiHarness ui;
    ui.setReduceMotion(true);
    RoomActionButton button(RoomActionButton::Kind::Heart, &ui.window);
    ui.window.show();
    testing::pointerEnters(&button);
    EXPECT_EQ(button.currentLayers(), (Layers{0, 0, 1, 0}));
}

TEST(RoomButtonsTest, ADisabledRoomButtonKeepsItsRestingImageAndIgnoresClicks)
{
    UiHarness ui;
    RoomActionButton button(RoomActionButton::Kind::Heart, &ui.window);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    button.setActive(true);
    button.setEnabled(false);
    ui.window.show();
    testing::pointerEnters(&button);
    ui.advance(1s);
    EXPECT_EQ(button.currentLayers(), (Layers{0, 0, 0, 1}));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(20, 15));
    EXPECT_TRUE(clicks.isEmpty());
}

// A reader says a check box's state as it changes, under a name that stays; Space and Return
// both press the button.
TEST(RoomButtonsTest, TheHeartAndThePowerButtonAreCheckBoxesCheckedWhileActiveAndPressedByKeys)
{
    for (const RoomActionButton::Kind kind : {RoomActionButton::Kind::Heart, RoomActionButton::Kind::Power}) {
        SCOPED_TRACE(RoomActionButton::rawValue(kind).toStdString());
        UiHarness ui;
        RoomActionButton button(kind, &ui.window);
        button.setLabel(QStringLiteral("Kitchen"));
        QSignalSpy clicks(&button, &QAbstractButton::clicked);
        QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&button);
        EXPECT_EQ(element->role(), QAccessible::CheckBox);
        for (const bool active : {true, false}) {
            button.setActive(active);
            EXPECT_EQ(element->state().checked, active);
            EXPECT_FALSE(element->state().pressed);
            EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Kitchen"));
        }
        for (const int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(&button, Qt::Key(key));
        EXPECT_EQ(clicks.size(), 3);
    }
}

TEST(RoomButtonsTest, RoomButtonsTellAssistiveTechnologiesTheirState)
{
    UiHarness ui;
    RoomActionButton heart(RoomActionButton::Kind::Heart, &ui.window);
    heart.setLabel(QStringLiteral("Kitchen favourite"));
    RoomBrightnessButton sun(&ui.window);
    sun.setRoomName(QStringLiteral("Kitchen"));
    QSignalSpy sunClicks(&sun, &QAbstractButton::clicked);

    QAccessibleInterface *heartElement = QAccessible::queryAccessibleInterface(&heart);
    EXPECT_EQ(heartElement->text(QAccessible::Name), QStringLiteral("Kitchen favourite"));
    EXPECT_FALSE(heartElement->state().checked);
    EXPECT_TRUE(heartElement->state().checkable);
    heart.setActive(true);
    EXPECT_TRUE(heartElement->state().checked);
    EXPECT_EQ(heartElement->text(QAccessible::Name), QStringLiteral("Kitchen favourite"));

    QAccessibleInterface *sunElement = QAccessible::queryAccessibleInterface(&sun);
    EXPECT_EQ(sunElement->text(QAccessible::Name), QStringLiteral("Kitchen brightness"));
    EXPECT_EQ(sunElement->text(QAccessible::Value), QStringLiteral("Collapsed"));
    sunElement->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(sunClicks.size(), 1);
    sun.setExpanded(true);
    EXPECT_EQ(sunElement->text(QAccessible::Value), QStringLiteral("Expanded"));
}

TEST(RoomButtonsTest, TheSunShowsBrightnessOnlyWhileExpandedAndGrowsIntoIt)
{
    UiHarness ui;
    RoomBrightnessButton sun(&ui.window);
    ui.window.show();
    sun.setBrightness(50);
    ui.advance(1s);
    EXPECT_DOUBLE_EQ(sun.glyphProgress(), 0);
    EXPECT_DOUBLE_EQ(sun.glyphOpacity(), 0.3);
    sun.setExpanded(true);
    ui.advance(80ms);
    EXPECT_GT(sun.glyphProgress(), 0);
    EXPECT_LT(sun.glyphProgress(), 0.5);
    ui.advance(100ms);
    EXPECT_DOUBLE_EQ(sun.glyphProgress(), 0.5);
    EXPECT_DOUBLE_EQ(sun.glyphOpacity(), 1);
    EXPECT_DOUBLE_EQ(sun.backdropAlpha(), 0.05);
}

// Return opens the room's slider as Space does.
TEST(RoomButtonsTest, TheSunIsPressedByEachKeyThatPressesAButton)
{
    UiHarness ui;
    RoomBrightnessButton sun(&ui.window);
    QSignalSpy clicks(&sun, &QAbstractButton::clicked);
    for (const int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&sun, Qt::Key(key));
    EXPECT_EQ(clicks.size(), 3);
}

TEST(RoomButtonsTest, ADisabledSunHasNoHoverBackdropButBrightensAndExplainsWhy)
{
    UiHarness ui;
    RoomBrightnessButton sun(&ui.window);
    ui.setReduceMotion(true);
    ui.window.show();
    sun.setEnabled(false);
    testing::pointerEnters(&sun);
    EXPECT_DOUBLE_EQ(sun.backdropAlpha(), 0);
    EXPECT_DOUBLE_EQ(sun.glyphOpacity(), 1);
    EXPECT_EQ(vantora::ui::plainToolTipOf(sun), QStringLiteral("No available dimmable lights in this room"));
    sun.setEnabled(true);
    EXPECT_DOUBLE_EQ(sun.backdropAlpha(), 0.1);
    EXPECT_EQ(vantora::ui::plainToolTipOf(sun), QStringLiteral("Adjust brightness of lights that are on"));
}

TEST(RoomButtonsTest, TheHomePowerButtonNamesWhatItDoesAndTintsOnlyWhenEnabled)
{
    UiHarness ui;
    ui.setReduceMotion(true);
    HomePowerButton button(HomePower::TurnOff, &ui.window);
    ui.window.show();
    EXPECT_EQ(button.text(), QStringLiteral("All off"));
    EXPECT_EQ(button.accessibleName(), QStringLiteral("Turn all lights off"));
    EXPECT_EQ(vantora::ui::plainToolTipOf(button), QStringLiteral("Turn all reachable lights off"));
    EXPECT_NE(HomePowerButton::glyphColour(HomePower::TurnOff), HomePowerButton::glyphColour(HomePower::TurnOn));
    button.setPower(HomePower::TurnOn);
    EXPECT_EQ(button.text(), QStringLiteral("All on"));

    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    testing::pointerEnters(&button);
    EXPECT_DOUBLE_EQ(button.tintAmount(), 1);
    button.setEnabled(false);
    EXPECT_DOUBLE_EQ(button.tintAmount(), 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_TRUE(clicks.isEmpty());
}

TEST(RoomButtonsTest, TheHomePowerPillFadesWhilePressedAndWhileDisabled)
{
    UiHarness ui;
    ui.setReduceMotion(true);
    HomePowerButton button(HomePower::TurnOff, &ui.window);
    ui.window.show();
    const QPoint centre = button.rect().center();
    EXPECT_EQ(strongestAlpha(paintedAlone(button)), 255);

    QTest::mousePress(&button, Qt::LeftButton, {}, centre);
    EXPECT_NEAR(strongestAlpha(paintedAlone(button)), 0.7 * 255, 2);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, centre);
    EXPECT_EQ(strongestAlpha(paintedAlone(button)), 255);

    button.setEnabled(false);
    EXPECT_NEAR(strongestAlpha(paintedAlone(button)), 0.4 * 255, 2);
    QTest::mousePress(&button, Qt::LeftButton, {}, centre);
    EXPECT_NEAR(strongestAlpha(paintedAlone(button)), 0.4 * 255, 2);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, centre);
}

} // namespace
} // namespace vantora::controls
