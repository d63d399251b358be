// Runs with a system bus address that leads nowhere, as on a machine without Avahi, on the
// real clock and the real event loop.

#include "EventLoopTesting.h"
#include "bridge/HueError.h"
#include "onboarding/ApplicationBridgeSearch.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::HueError;

TEST(ApplicationBridgeSearchWithoutDaemon, ThrowsWhatTheDiscoveryThrowsAndCanBeCalledAgain)
{
    const vantora::BridgeSearch search = vantora::applicationBridgeSearch(vantora::SearchSource::localNetwork);
    vantora::testing::EventLoopHarness harness;

    for (int call = 1; call <= 2; ++call) {
        SCOPED_TRACE(call);
        const auto handle = harness.run(search(), 3s);
        ASSERT_TRUE(handle.isFinished());
        try {
            handle.result();
            ADD_FAILURE() << "found bridges without a daemon";
        } catch (const HueError &error) {
            EXPECT_EQ(error, HueError::discoveryUnavailable());
        }
    }
}
