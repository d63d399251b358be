// Runs with a system bus address that leads nowhere, as on a machine without Avahi.

#include "BrowserEventLog.h"
#include "platform/avahi/AvahiServiceBrowser.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;
using vantora::platform::AvahiServiceBrowser;
using vantora::platform::ServiceIdentity;
using vantora::testing::BrowserEventLog;

namespace {

const ServiceIdentity someBridge{2, ServiceIdentity::Protocol::IPv4, "Hue Bridge", "_hue._tcp", "local"};

} // namespace

TEST(AvahiServiceBrowserWithoutDaemon, ReportsTheFailureOnTheNextTurnAndEndsTheBrowse)
{
    AvahiServiceBrowser browser;
    BrowserEventLog log(browser);

    browser.startBrowsing("_hue._tcp", "local.");
    EXPECT_TRUE(log.failures().isEmpty()) << "reported inside startBrowsing";

    QCoreApplication::processEvents();
    ASSERT_EQ(log.failures().size(), 1);
    EXPECT_FALSE(log.failures().front().isEmpty());

    // The browse is over: resolving does nothing, and so does another stop.
    browser.resolve(someBridge, 4s);
    browser.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.failures().size(), 1);
    EXPECT_TRUE(log.found().empty());
    EXPECT_TRUE(log.resolved().empty());

    // A new browse fails again, as promptly.
    browser.startBrowsing("_hue._tcp", "local.");
    QCoreApplication::processEvents();
    EXPECT_EQ(log.failures().size(), 2);
}

TEST(AvahiServiceBrowserWithoutDaemon, StoppingBeforeTheNextTurnDropsTheFailure)
{
    AvahiServiceBrowser browser;
    BrowserEventLog log(browser);

    browser.startBrowsing("_hue._tcp", "local.");
    browser.stop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.failures().isEmpty());
}

// The queued failure must notice that its browser is gone (the sanitizers see it if not).
TEST(AvahiServiceBrowserWithoutDaemon, DestroyingTheBrowserWithTheFailureQueuedIsSafe)
{
    auto browser = std::make_unique<AvahiServiceBrowser>();
    browser->startBrowsing("_hue._tcp", "local.");
    browser.reset();
    QCoreApplication::processEvents();
}
