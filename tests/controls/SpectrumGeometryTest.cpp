#include "controls/SpectrumGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantora::controls::spectrumGeometry {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(SpectrumGeometryTest, PointerPositionsGiveHueAndSaturationWithinTheirEnds)
{
    const QSizeF field(224, 88); // usable 200 x 64
    struct Row {
        const char *name;
        QPointF point;
        double hue;
        double saturation;
    };
    const Row rows[] = {
        {"top-left corner of the usable area", {12, 12}, 0, 1},
        {"centre", {112, 44}, 0.5, 0.5},
        {"right end stops short of a full turn", {212, 76}, 0.9999, 0},
        {"beyond the right and below", {400, 300}, 0.9999, 0},
        {"beyond the left and above", {-30, -30}, 0, 1},
        {"not a number", {nan, nan}, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(hueAt(row.point, field), row.hue);
        EXPECT_DOUBLE_EQ(saturationAt(row.point, field), row.saturation);
    }
}

TEST(SpectrumGeometryTest, AFieldNoWiderThanItsInsetsStillPlacesTheMarker)
{
    const QSizeF narrow(24, 24);
    EXPECT_EQ(usableSize(narrow), QSizeF(1, 1));
    EXPECT_DOUBLE_EQ(markerCentre(0, 1, narrow).x(), 12);
    EXPECT_DOUBLE_EQ(markerCentre(0.9999, 1, narrow).x(), 12.9999);
}

TEST(SpectrumGeometryTest, KeyStepsStopAtTheEnds)
{
    struct Row {
        const char *name;
        HueSaturation from;
        Step step;
        HueSaturation to;
    };
    const Row rows[] = {
        {"hue up", {0.5, 0.5}, Step::HueUp, {0.51, 0.5}},
        {"hue up stops short of 1", {0.995, 0.5}, Step::HueUp, {0.9999, 0.5}},
        {"hue down stops at 0", {0.005, 0.5}, Step::HueDown, {0, 0.5}},
        {"saturation up stops at 1", {0.5, 0.98}, Step::SaturationUp, {0.5, 1}},
        {"saturation down stops at 0", {0.5, 0.02}, Step::SaturationDown, {0.5, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const HueSaturation result = stepped(row.from, row.step);
        EXPECT_NEAR(result.hue, row.to.hue, 1e-12);
        EXPECT_NEAR(result.saturation, row.to.saturation, 1e-12);
    }
}

TEST(SpectrumGeometryTest, AssistiveStepsWrapTheHueButNotTheSaturation)
{
    EXPECT_NEAR(hueIncremented(0.99), 0.015, 1e-12);
    EXPECT_NEAR(hueDecremented(0.01), 0.985, 1e-12);
    EXPECT_NEAR(hueIncremented(0.5), 0.525, 1e-12);
    EXPECT_DOUBLE_EQ(saturationRaised(0.95), 1);
    EXPECT_DOUBLE_EQ(saturationLowered(0.05), 0);
}

TEST(SpectrumGeometryTest, TheValueTextTruncatesAndNeverShowsANonNumber)
{
    EXPECT_EQ(valueText(0.5, 0.25), QStringLiteral("Hue 180 degrees, saturation 25 percent"));
    EXPECT_EQ(valueText(0.9999, 0.999), QStringLiteral("Hue 359 degrees, saturation 99 percent"));
    EXPECT_EQ(valueText(0.5, 0.7 - 0.05 - 0.05), QStringLiteral("Hue 180 degrees, saturation 60 percent"));
    EXPECT_EQ(valueText(nan, std::numeric_limits<double>::infinity()),
              QStringLiteral("Hue 0 degrees, saturation 0 percent"));
}

} // namespace
} // namespace vantora::controls::spectrumGeometry
