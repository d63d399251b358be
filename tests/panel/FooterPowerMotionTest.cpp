#include "panel/FooterPowerMotion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantora {
namespace {

TEST(FooterPowerMotion, RawValuesMatchExactly)
{
    EXPECT_EQ(footerPowerMotionFromRawValue(u"Soft spring"), FooterPowerMotion::softSpring);
    EXPECT_EQ(footerPowerMotionFromRawValue(u"Momentum"), FooterPowerMotion::momentum);
    EXPECT_EQ(footerPowerMotionFromRawValue(u"Soft Spring"), std::nullopt);
    EXPECT_EQ(footerPowerMotionFromRawValue(u"soft spring"), std::nullopt);
    EXPECT_EQ(footerPowerMotionFromRawValue(u""), std::nullopt);
    for (const FooterPowerMotion motion : allFooterPowerMotions)
        EXPECT_EQ(footerPowerMotionFromRawValue(rawValue(motion)), motion) << rawValue(motion).toStdString();
}

TEST(FooterPowerMotion, ChoosesTheAnimationOfTheMotionAndDirection)
{
    struct Row {
        const char *name;
        FooterPowerMotion motion;
        bool showing;
        bool reduceMotion;
        ui::Animation expected;
    };
    const Row rows[] = {
        {"momentum shows with its spring", FooterPowerMotion::momentum, true, false, ui::Animation::spring(0.28, 0.62)},
        {"momentum hides quickly", FooterPowerMotion::momentum, false, false, ui::Animation::easeOut(0.14)},
        {"original shows eased", FooterPowerMotion::original, true, false, ui::Animation::easeInOut(0.24)},
        {"original hides as it came", FooterPowerMotion::original, false, false, ui::Animation::easeInOut(0.24)},
        {"quick shows with a stiff spring", FooterPowerMotion::quick, true, false, ui::Animation::spring(0.2, 0.95)},
        {"soft spring hides quickly", FooterPowerMotion::softSpring, false, false, ui::Animation::easeOut(0.14)},
        {"reduce motion shows at once", FooterPowerMotion::momentum, true, true, ui::Animation::none()},
        {"reduce motion hides at once", FooterPowerMotion::original, false, true, ui::Animation::none()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(footerPowerAnimation(row.motion, row.showing, row.reduceMotion), row.expected);
    }
}

// The largest overshoot past the target while the spring moves from 0 to 1.
double overshoot(const ui::Animation &spring)
{
    double peak = 0;
    for (double t = 0; t < 2; t += 0.0005)
        peak = std::max(peak, spring.progress(t) - 1);
    return peak;
}

TEST(FooterPowerMotion, SpringsOvershootAsTheirNamesPromise)
{
    EXPECT_NEAR(overshoot(showAnimation(FooterPowerMotion::momentum)), 0.084, 0.002);
    EXPECT_NEAR(overshoot(showAnimation(FooterPowerMotion::softSpring)), 0.020, 0.001);
    EXPECT_LT(overshoot(showAnimation(FooterPowerMotion::quick)), 0.0001);
}

} // namespace
} // namespace vantora
