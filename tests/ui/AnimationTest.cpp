#include "ui/Animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using vantora::ui::Animation;

namespace {

// The highest progress a spring reaches, sampled finely over its first two seconds.
double peakProgress(const Animation &spring)
{
    double peak = 0;
    for (int step = 1; step <= 200000; ++step)
        peak = std::max(peak, spring.progress(step / 100000.0));
    return peak;
}

} // namespace

TEST(Animation, TimingCurvesFollowTheirCubicBezier)
{
    // Reference values solved independently for the cubic Bézier through (x1,y1), (x2,y2).
    struct Row {
        std::string name;
        Animation animation;
        std::vector<double> expected; // at 10 %, 25 %, 50 %, 75 %, 90 % of the duration
    };
    const std::vector<Row> rows = {
        {"ease-in-out", Animation::easeInOut(0.2), {0.01972, 0.12916, 0.5, 0.87084, 0.98028}},
        {"ease-in", Animation::easeIn(0.2), {0.01703, 0.09346, 0.31536, 0.62186, 0.83943}},
        {"ease-out", Animation::easeOut(0.2), {0.16057, 0.37814, 0.68464, 0.90654, 0.98297}},
    };
    const std::vector<double> fractions = {0.1, 0.25, 0.5, 0.75, 0.9};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        for (std::size_t i = 0; i < fractions.size(); ++i)
            EXPECT_NEAR(row.animation.progress(fractions[i] * 0.2), row.expected[i], 5e-4) << fractions[i];
        EXPECT_EQ(row.animation.progress(0), 0);
        EXPECT_EQ(row.animation.progress(0.2), 1);
        EXPECT_FALSE(row.animation.isFinished(0.199));
        EXPECT_TRUE(row.animation.isFinished(0.2));
    }
}

TEST(Animation, SpringsMatchTheDampedOscillator)
{
    struct Row {
        std::string name;
        Animation spring;
        double elapsed;
        double expected;
    };
    const std::vector<Row> rows = {
        // 1 − e^{−π}(1 + π): critically damped, half a response in.
        {"critically damped", Animation::spring(1, 1), 0.5, 0.821025553585931},
        // Overshoots: half an undamped period at ζ = 0.5.
        {"underdamped past the target", Animation::spring(0.5, 0.5), 0.25, 1.1406996741435176},
        {"reorder spring early on", Animation::spring(0.3, 0.9), 0.1, 0.6590899038685102},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(row.spring.progress(row.elapsed), row.expected, 1e-9);
    }
}

TEST(Animation, FooterSpringsOvershootByTheirKnownAmounts)
{
    struct Row {
        std::string name;
        Animation spring;
        double overshoot;
        double tolerance;
    };
    const std::vector<Row> rows = {
        {"momentum", Animation::spring(0.28, 0.62), 0.0835, 5e-4},
        {"soft spring", Animation::spring(0.26, 0.78), 0.0199, 5e-4},
        {"quick", Animation::spring(0.2, 0.95), 0.00007, 5e-5},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(peakProgress(row.spring) - 1, row.overshoot, row.tolerance);
    }
}

TEST(Animation, ASpringSettlesOnlyOnceItHasStoppedSwinging)
{
    const Animation spring = Animation::spring(0.28, 0.62);
    const double settled = spring.settlingTime();
    EXPECT_TRUE(spring.isFinished(settled));
    EXPECT_FALSE(spring.isFinished(settled * 0.99));
    EXPECT_NEAR(spring.progress(settled), 1, 1e-3);

    // Crossing the target at full speed is not settling, though the distance is near zero.
    double crossing = 0;
    for (int step = 1; step < 100000 && crossing == 0; ++step) {
        if (spring.progress(step / 100000.0) >= 1)
            crossing = step / 100000.0;
    }
    ASSERT_GT(crossing, 0);
    EXPECT_FALSE(spring.isFinished(crossing));
}

TEST(Animation, ASpringThatTakesOverAMovingValueStartsWithItsSpeed)
{
    const Animation spring = Animation::spring(0.3, 0.9);
    EXPECT_DOUBLE_EQ(spring.velocity(0, 4), 4);
    EXPECT_GT(spring.progress(0.01, 4), spring.progress(0.01, 0));
    for (const double zeta : {0.5, 1.0, 2.0}) {
        SCOPED_TRACE(zeta);
        const Animation any = Animation::spring(0.3, zeta);
        EXPECT_NEAR(any.velocity(0, -2), -2, 1e-9);
        EXPECT_NEAR(any.progress(1e-6, -2), -2e-6, 1e-9);
        EXPECT_NEAR(any.progress(any.settlingTime(-2), -2), 1, 1e-3);
    }
}

TEST(Animation, NoAnimationIsFinishedAtOnce)
{
    EXPECT_TRUE(Animation::none().isNone());
    EXPECT_TRUE(Animation::none().isFinished(0));
    EXPECT_EQ(Animation::none().progress(0), 1);
    EXPECT_EQ(Animation(), Animation::none());
    EXPECT_NE(Animation::easeInOut(0.16), Animation::easeInOut(0.18));
    EXPECT_NE(Animation::easeInOut(0.16), Animation::easeOut(0.16));
}
