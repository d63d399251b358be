#include "StoreRig.h"
#include "ui/UiHarness.h"

#include "controls/LightDetailView.h"

#include <gtest/gtest.h>

namespace vantora::testing {
namespace {

TEST(LightDetailView, Builds)
{
    UiHarness ui;
    StoreRig rig;
    rig.buildConnected(HueSnapshot::demo());
    auto *page = new LightDetailView(*rig.store, QStringLiteral("1"), &ui.window);
    ui.window.show();
    EXPECT_TRUE(page->isVisible());
}

} // namespace
} // namespace vantora::testing
