#include "controls/ScrollDimming.h"

#include <gtest/gtest.h>

namespace vantora::controls::scrollDimming {
namespace {

TEST(ScrollDimmingTest, HorizontalMovementBecomesAStepThatFollowsThePhysicalDirection)
{
    struct Row {
        const char *name;
        WheelReading reading;
        bool enabled;
        Decision decision;
    };
    const Row rows[] = {
        {"a notch to the right brightens by 3", {{-1, 0}, false, false, false}, true, {Disposition::Step, 3.0}},
        {"natural scrolling, precise", {{10, 0}, true, true, false}, true, {Disposition::Step, 3.5}},
        {"precise to the left dims", {{4, 0}, true, false, false}, true, {Disposition::Step, -1.4}},
        {"vertical passes on", {{0, 3}, false, false, false}, true, {}},
        {"mostly vertical passes on", {{2, -3}, true, false, false}, true, {}},
        {"equal magnitudes pass on", {{2, 2}, true, false, false}, true, {}},
        {"no movement passes on", {{0, 0}, true, false, false}, true, {}},
        {"disabled passes horizontal on", {{-1, 0}, false, false, false}, false, {}},
        {"momentum ends the gesture", {{6, 0}, true, false, true}, true, {Disposition::EndGesture, 0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Decision decision = decide(row.reading, row.enabled);
        EXPECT_EQ(decision.disposition, row.decision.disposition);
        EXPECT_DOUBLE_EQ(decision.step, row.decision.step);
    }
}

} // namespace
} // namespace vantora::controls::scrollDimming
