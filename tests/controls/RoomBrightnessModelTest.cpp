#include "controls/EdgeSliderGeometry.h"
#include "controls/RoomBrightnessModel.h"
#include "controls/RoomBrightnessStyle.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantora::controls {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

HueLight lit(double brightness, double minimum = 1)
{
    return {.id = QString::number(brightness), .isOn = true, .isReachable = true, .brightness = brightness,
            .minimumBrightness = minimum};
}

HueLight off(double brightness)
{
    HueLight light = lit(brightness);
    light.isOn = false;
    return light;
}

TEST(EdgeSliderGeometryTest, ValuesAndPointerPositionsMapOntoTheTrack)
{
    namespace edge = edgeSliderGeometry;
    struct Row {
        const char *name;
        double value;
        ValueRange range;
        double fill;
    };
    const Row rows[] = {
        {"lowest", 1, {1, 100}, 8},
        {"highest", 100, {1, 100}, 136},
        {"narrow range divides by one", 100, {99.5, 100}, 72},
        {"above the range", 140, {1, 100}, 136},
        {"not a number", nan, {1, 100}, 8},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(edge::fillHeight(edge::fraction(row.value, row.range)), row.fill);
    }
    EXPECT_DOUBLE_EQ(edge::valueAt(8, {1, 100}), 100);
    EXPECT_DOUBLE_EQ(edge::valueAt(-20, {1, 100}), 100);
    EXPECT_DOUBLE_EQ(edge::valueAt(136, {1, 100}), 1);
    EXPECT_DOUBLE_EQ(edge::valueAt(300, {1, 100}), 1);
    EXPECT_DOUBLE_EQ(edge::valueAt(72, {0, 100}), 50);
    EXPECT_DOUBLE_EQ(edge::valueAt(nan, {1, 100}), 1);
    EXPECT_DOUBLE_EQ(edge::tickBottom(10), 136);
    EXPECT_DOUBLE_EQ(edge::stepped(100, 1, {1, 100}), 100);
    EXPECT_DOUBLE_EQ(edge::stepped(1, -1, {1, 100}), 1);
    EXPECT_EQ(edge::percentageText(41.5, true), QStringLiteral("42%"));
    EXPECT_EQ(edge::percentageText(41.5, false), QStringLiteral("\u2014"));
}

TEST(RoomBrightnessModelTest, WhatTheControlShowsFollowsTheLitLights)
{
    struct Row {
        const char *name;
        std::vector<HueLight> lights;
        double display;
        ValueRange range;
        QString valueLabel;
        QString readout;
        bool disabled;
    };
    const Row rows[] = {
        {"no lit light", {off(60)}, 1, {1, 100}, QStringLiteral("No lights are on"), QStringLiteral("\u2014"), true},
        {"spread of a point", {lit(40), lit(41)}, 40.5, {1, 100}, QStringLiteral("41 percent, average"),
         QStringLiteral("41%"), false},
        {"spread under a point", {lit(40), lit(40.9)}, 40.45, {1, 100}, QStringLiteral("40 percent"),
         QStringLiteral("40%"), false},
        {"one lit light among off ones", {lit(30), off(90)}, 30, {1, 100}, QStringLiteral("30 percent"),
         QStringLiteral("30%"), false},
        {"floor from the largest minimum", {lit(50, 2), lit(50, 5)}, 50, {5, 100}, QStringLiteral("50 percent"),
         QStringLiteral("50%"), false},
        {"a brightness that is not a number reads as the floor", {lit(nan, 3)}, 3, {3, 100},
         QStringLiteral("3 percent"), QStringLiteral("3%"), false},
        {"a floor above 100 is held at 100", {lit(100, 140)}, 100, {100, 100}, QStringLiteral("100 percent"),
         QStringLiteral("100%"), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RoomBrightnessModel model;
        model.setLights(row.lights);
        EXPECT_DOUBLE_EQ(model.displayValue(), row.display);
        EXPECT_EQ(model.range(), row.range);
        EXPECT_EQ(model.valueLabel(), row.valueLabel);
        EXPECT_EQ(model.readout(), row.readout);
        EXPECT_EQ(model.isDisabled(), row.disabled);
    }
}

TEST(RoomBrightnessModelTest, InputIsDroppedWhileLockedOrWithNothingLit)
{
    RoomBrightnessModel dark;
    dark.setLights({off(50)});
    EXPECT_EQ(dark.setValue(30), std::nullopt);
    EXPECT_EQ(dark.step(1), std::nullopt);
    EXPECT_EQ(dark.help(), QStringLiteral("Turn on a dimmable light to adjust brightness."));

    RoomBrightnessModel locked;
    locked.setLights({lit(50)});
    locked.setLocked(true);
    EXPECT_EQ(locked.setValue(30), std::nullopt);
    EXPECT_EQ(locked.step(-1), std::nullopt);
    EXPECT_EQ(locked.draft(), std::nullopt);
    EXPECT_EQ(locked.setValue(nan), std::nullopt) << "never sends a value that is not a number";
}

TEST(RoomBrightnessModelTest, StepsStayInTheRangeAndStillSendAtTheEnds)
{
    RoomBrightnessModel model;
    model.setLights({lit(5, 2), lit(5, 5)});
    EXPECT_EQ(model.step(-1), 5.0);
    EXPECT_EQ(model.draft(), 5.0);
    model.setEditing(false);
    model.setLights({lit(100)});
    EXPECT_EQ(model.step(1), 100.0);
}

TEST(RoomBrightnessModelTest, TheDraftLastsUntilNoEditAndNoUpdateIsInProgress)
{
    RoomBrightnessModel model;
    model.setLights({lit(40), lit(60)});
    model.setEditing(true);
    model.setValue(70);
    EXPECT_FALSE(model.hasSpread()) << "a draft hides the average";
    model.setLights({lit(45), lit(60)});
    EXPECT_EQ(model.draft(), 70.0) << "kept while dragging";
    model.setUpdating(true);
    model.setEditing(false);
    EXPECT_EQ(model.draft(), 70.0) << "kept while the update runs";
    model.setUpdating(false);
    EXPECT_EQ(model.draft(), std::nullopt);
    EXPECT_DOUBLE_EQ(model.displayValue(), 52.5);

    model.setEditing(true);
    model.setValue(80);
    model.setLights({off(45), off(60)});
    EXPECT_EQ(model.draft(), std::nullopt) << "the last lit light went off";
    EXPECT_TRUE(model.isDisabled());
}

TEST(RoomBrightnessModelTest, StylesAreKnownByTheirRawValuesOnly)
{
    for (const RoomBrightnessStyle style : allRoomBrightnessStyles)
        EXPECT_EQ(roomBrightnessStyleFromRawValue(rawValue(style)), style);
    EXPECT_EQ(roomBrightnessStyleFromRawValue(u"Edge"), std::nullopt);
}

} // namespace
} // namespace vantora::controls
