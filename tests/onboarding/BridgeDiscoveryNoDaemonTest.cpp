// Runs with a system bus address that leads nowhere, as on a machine without Avahi, on the
// real clock and the real event loop.

#include "EventLoopTesting.h"
#include "bridge/HueError.h"
#include "onboarding/BridgeDiscovery.h"
#include "platform/avahi/AvahiServiceBrowser.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using vantora::BridgeDiscovery;
using vantora::HueError;

TEST(BridgeDiscoveryWithoutDaemon, ThrowsDiscoveryUnavailableLongBeforeTheTimeLimit)
{
    BridgeDiscovery discovery(std::make_unique<vantora::platform::AvahiServiceBrowser>());
    vantora::runtime::TaskScope awaiter;
    const auto handle = awaiter.spawn(discovery.findBridges());

    // Well short of the six-second limit, whose end would return an empty list instead.
    ASSERT_TRUE(vantora::testing::waitForEvents([&] { return handle.isFinished(); }, 3s));
    EXPECT_THROW(
        {
            try {
                handle.result();
            } catch (const HueError &error) {
                EXPECT_EQ(error, HueError::discoveryUnavailable());
                throw;
            }
        },
        HueError);
    EXPECT_TRUE(discovery.searchFailed());
    EXPECT_FALSE(discovery.isSearching());
    EXPECT_EQ(discovery.message(), QStringLiteral("Discovery is unavailable. Make sure the Avahi service is running, "
                                                  "or enter the Bridge IP."));
}
