#include "controls/SliderGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantora::controls {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(SliderGeometryTest, PointerPositionsMapToFractionsAndBack)
{
    struct Row {
        const char *name;
        SliderSize size;
        double length;
        double position;
        double fraction;
    };
    const Row rows[] = {
        {"at the leading inset", SliderSize::Full, 215, 15, 0},
        {"before the inset", SliderSize::Full, 215, 3, 0},
        {"middle of the track", SliderSize::Full, 215, 107.5, 0.5},
        {"at the trailing inset", SliderSize::Full, 215, 200, 1},
        {"beyond the end", SliderSize::Full, 215, 400, 1},
        {"compact insets are 9", SliderSize::Compact, 118, 59, 0.5},
        {"narrower than two insets travels 1", SliderSize::Full, 20, 15.5, 0.5},
        {"position not a number", SliderSize::Full, 215, nan, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const SliderGeometry geometry = SliderGeometry::of(row.size);
        EXPECT_DOUBLE_EQ(geometry.fractionAt(row.position, row.length), row.fraction);
        if (row.position == row.position && row.fraction > 0 && row.fraction < 1) {
            EXPECT_DOUBLE_EQ(geometry.knobCentre(row.fraction, row.length), row.position);
        }
    }
}

TEST(SliderGeometryTest, FractionOfAValueStaysWithinTheTrackWhateverArrives)
{
    struct Row {
        const char *name;
        double value;
        ValueRange range;
        double fraction;
    };
    const Row rows[] = {
        {"inside", 25, {0, 100}, 0.25},
        {"above the range", 140, {0, 100}, 1},
        {"below the range", -5, {0, 100}, 0},
        {"empty range at its bound", 5, {5, 5}, 0},
        {"empty range above its bound", 5.0005, {5, 5}, 0.5},
        {"value not a number", nan, {0, 100}, 0},
        {"value infinite reads as the low end", inf, {0, 100}, 0},
        {"reversed range is empty at its lower bound", 50, {60, 40}, 0},
        {"infinite upper bound is empty", 50, {1, inf}, 1},
        {"not-a-number lower bound reads as 0", 50, {nan, 100}, 0.5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(sliderFraction(row.value, row.range), row.fraction, 1e-9);
    }
}

TEST(SliderGeometryTest, DragsWriteValuesInsideTheRange)
{
    EXPECT_DOUBLE_EQ(sliderValueAt(0.5, {2000, 6500}), 4250);
    EXPECT_DOUBLE_EQ(sliderValueAt(1.5, {0, 100}), 100);
    EXPECT_DOUBLE_EQ(sliderValueAt(0.7, {5, 5}), 5);
    EXPECT_DOUBLE_EQ(sliderValueAt(0.7, {60, 40}), 60);
    EXPECT_DOUBLE_EQ(sliderValueAt(nan, {10, 20}), 10);
}

TEST(SliderGeometryTest, ArrowStepsAreAHundredthOfTheRange)
{
    struct Row {
        const char *name;
        double value;
        ValueRange range;
        SliderStep direction;
        double expected;
    };
    const Row rows[] = {
        {"percent up", 50, {0, 100}, SliderStep::Up, 51},
        {"kelvin down", 4000, {2000, 6500}, SliderStep::Down, 3955},
        {"stops at the upper bound", 99.5, {0, 100}, SliderStep::Up, 100},
        {"stops at the lower bound", 0.5, {0, 100}, SliderStep::Down, 0},
        {"above the range: up sets the bound", 140, {0, 100}, SliderStep::Up, 100},
        {"above the range: down steps from the value", 140, {0, 100}, SliderStep::Down, 139},
        {"below the range: down sets the bound", -7, {0, 100}, SliderStep::Down, 0},
        {"below the range: up steps from the value", -7, {0, 100}, SliderStep::Up, -6},
        {"non-finite value starts at the lower bound", nan, {0, 100}, SliderStep::Up, 1},
        {"empty range stays put", 5, {5, 5}, SliderStep::Up, 5},
        {"a page up is a tenth", 50, {0, 100}, SliderStep::PageUp, 60},
        {"a page down in kelvin", 4000, {2000, 6500}, SliderStep::PageDown, 3550},
        {"a page stops at the bound", 4, {0, 100}, SliderStep::PageDown, 0},
        {"to the lower bound", 72, {1, 100}, SliderStep::ToLower, 1},
        {"to the upper bound", 1, {1, 100}, SliderStep::ToUpper, 100},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(sliderStepped(row.value, row.range, row.direction), row.expected);
    }
}

TEST(SliderGeometryTest, ClampingNeverSeesAReversedRange)
{
    EXPECT_DOUBLE_EQ((ValueRange{5, 100}.clamp(2)), 5);
    EXPECT_DOUBLE_EQ((ValueRange{5, 100}.clamp(170)), 100);
    EXPECT_DOUBLE_EQ((ValueRange{120, 100}.clamp(110)), 120);
    EXPECT_DOUBLE_EQ((ValueRange{5, 100}.clamp(-inf)), 5);
}

} // namespace
} // namespace vantora::controls
