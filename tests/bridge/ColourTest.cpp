#include "bridge/HueGamut.h"
#include "bridge/LightColour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vantora;
using LightColour::HueSaturation;
using LightColour::Rgb;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

void expectNear(HueXY actual, HueXY expected, double tolerance = 1e-4)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

void expectNear(Rgb actual, Rgb expected, double tolerance = 1e-2)
{
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
}

} // namespace

TEST(HueXY, ValidityAllowsOnlyATinyExcessOverOne)
{
    struct Row {
        const char *name;
        HueXY point;
        bool valid;
    };
    const Row rows[] = {
        {"ordinary", {0.3, 0.3}, true},
        {"x zero", {0, 0.5}, true},
        {"y zero", {0.3, 0}, false},
        {"negative x", {-0.01, 0.5}, false},
        {"sum 1.00001 exactly at the edge", {0.6, 0.40001}, true},
        {"sum just above the excess", {0.6, 0.40002}, false},
        {"not a number", {notANumber, 0.3}, false},
        {"infinite y", {0.1, infinity}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.point.isValid(), row.valid);
    }
}

TEST(LightColour, XyFromRgbLinearisesAndClampsComponents)
{
    expectNear(LightColour::xy(Rgb{0, 0, 0}), {0.3127, 0.329});
    expectNear(LightColour::xy(Rgb{1, 1, 1}), {0.3127, 0.3290});
    EXPECT_EQ(LightColour::xy(Rgb{-1, 2, 0.5}), LightColour::xy(Rgb{0, 1, 0.5}));
    EXPECT_EQ(LightColour::xy(Rgb{notANumber, 0, 0}), LightColour::xy(Rgb{1, 0, 0})) << "not a number counts as full";
}

TEST(LightColour, XyFromHueSaturationWrapsTheHue)
{
    struct Row {
        const char *name;
        HueSaturation colour;
        HueSaturation same;
    };
    const Row rows[] = {
        {"hue above one turn", {1.5, 0.8}, {0.5, 0.8}},
        {"negative hue", {-0.25, 0.8}, {0.75, 0.8}},
        {"a hair below zero is red, not a seventh sector", {-1e-18, 1}, {0, 1}},
        {"saturation above one", {0.3, 4}, {0.3, 1}},
        {"saturation not a number", {0.3, notANumber}, {0.3, 0}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        expectNear(LightColour::xy(row.colour), LightColour::xy(row.same), 1e-12);
    }
    // The sample colours: hue 0.1 at 0.55 is sRGB (1.0, 0.78, 0.45).
    expectNear(LightColour::xy(HueSaturation{0.1, 0.55}), {0.4231, 0.4138});
    expectNear(LightColour::xy(HueSaturation{0.74, 0.55}), {0.2498, 0.1701});
    expectNear(LightColour::rgb(LightColour::xy(HueSaturation{0.1, 0.55})), {1.0, 0.78, 0.45});
    // No caller passes these; they must simply not fail.
    LightColour::xy(HueSaturation{infinity, 1});
    LightColour::xy(HueSaturation{notANumber, 1});
}

TEST(LightColour, RgbOfInvalidPointsIsWhite)
{
    struct Row {
        const char *name;
        HueXY point;
    };
    const Row rows[] = {
        {"y zero", {0.3, 0}},
        {"sum above one", {0.7, 0.4}},
        {"not a number", {notANumber, 0.3}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LightColour::rgb(row.point), (Rgb{1, 1, 1}));
    }
    EXPECT_NE(LightColour::rgb({0.6, 0.400005}), (Rgb{1, 1, 1})) << "the small excess is a real colour";
}

TEST(LightColour, RgbStaysWithinRangeForExtremePoints)
{
    for (const HueXY point : {HueXY{0, 1e-300}, HueXY{1, 1e-9}, HueXY{0.7, 0.3}, HueXY{0.01, 0.99}}) {
        SCOPED_TRACE(testing::Message() << point.x << ", " << point.y);
        const Rgb colour = LightColour::rgb(point);
        for (const double component : {colour.red, colour.green, colour.blue}) {
            EXPECT_GE(component, 0);
            EXPECT_LE(component, 1.0 + 1e-12);
        }
    }
}

TEST(LightColour, HueSaturationRoundTripsThroughXy)
{
    for (const HueSaturation colour : {HueSaturation{0.1, 0.55}, HueSaturation{0.5, 1}, HueSaturation{0.74, 0.45},
                                       HueSaturation{0.95, 0.8}}) {
        SCOPED_TRACE(testing::Message() << colour.hue << ", " << colour.saturation);
        const HueSaturation back = LightColour::hueSaturation(LightColour::xy(colour));
        EXPECT_NEAR(back.hue, colour.hue, 1e-3);
        EXPECT_NEAR(back.saturation, colour.saturation, 1e-3);
    }
    EXPECT_EQ(LightColour::hueSaturation(LightColour::xy(Rgb{1, 1, 1})), (HueSaturation{0, 0}));
    EXPECT_EQ(LightColour::hueSaturation({0.3, 0}), (HueSaturation{0, 0}));
}

TEST(HueGamut, ClampsOutsidePointsToTheNearestEdge)
{
    const HueGamut preview = HueGamut::preview();
    const HueGamut reversed{preview.blue, preview.green, preview.red};
    struct Row {
        const char *name;
        HueGamut gamut;
        HueXY point;
        HueXY expected;
    };
    const Row rows[] = {
        {"inside stays", preview, {0.3, 0.3}, {0.3, 0.3}},
        {"beyond red lands on the red corner", preview, {0.8, 0.2}, {0.6915, 0.3083}},
        {"beyond green lands on the green corner", preview, {0.1, 0.8}, {0.17, 0.7}},
        {"either winding", reversed, {0.8, 0.2}, {0.6915, 0.3083}},
        {"on an edge stays", preview, {0.6915, 0.3083}, {0.6915, 0.3083}},
        {"beside an edge is projected onto it", preview, {0.5, 0.6}, {0.4290, 0.5055}},
        {"degenerate gamut leaves the point", HueGamut{{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}}, {0.9, 0.05}, {0.9, 0.05}},
        {"invalid corner leaves the point", HueGamut{{0.1, 0}, {0.2, 0.5}, {0.3, 0.1}}, {0.9, 0.05}, {0.9, 0.05}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        expectNear(row.gamut.clamped(row.point), row.expected);
    }
}
