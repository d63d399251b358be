#include "servicebrowser/FakeServiceBrowser.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace std::chrono_literals;
using vantora::platform::ServiceBrowser;
using vantora::platform::ServiceIdentity;
using vantora::platform::ServiceResolution;
using vantora::testing::FakeServiceBrowser;

// The fake stands in for the real browser in the discovery's tests; where it delivers what
// the real one never would, those tests would pass against a browser that does not exist.

namespace {

const ServiceIdentity bridge{2, ServiceIdentity::Protocol::IPv4, "Hue Bridge", "_hue._tcp", "local"};

ServiceResolution resolutionOf(const ServiceIdentity &service)
{
    ServiceResolution resolution;
    resolution.service = service;
    return resolution;
}

void startAndResolve(FakeServiceBrowser &browser)
{
    browser.startBrowsing("_hue._tcp", "local.");
    browser.resolve(bridge, 4s);
}

} // namespace

TEST(FakeServiceBrowser, DeliversOnlyWhatTheRunningBrowseCouldReport)
{
    struct Row {
        std::string name;
        std::function<void(FakeServiceBrowser &)> setUp;
        bool expectFound;
        bool expectResolved;
    };
    const Row rows[] = {
        {"before any browse", [](FakeServiceBrowser &) {}, false, false},
        {"browsing, nothing asked to resolve", [](FakeServiceBrowser &b) { b.startBrowsing("_hue._tcp", "local."); },
         true, false},
        {"browsing and resolving", startAndResolve, true, true},
        {"after stop",
         [](FakeServiceBrowser &b) {
             startAndResolve(b);
             b.stop();
         },
         false, false},
        {"after a failure",
         [](FakeServiceBrowser &b) {
             startAndResolve(b);
             b.failBrowsing();
         },
         false, false},
        {"after a restart, the old resolution is gone",
         [](FakeServiceBrowser &b) {
             startAndResolve(b);
             b.startBrowsing("_hue._tcp", "local.");
         },
         true, false},
        {"resolve asked while idle stays idle",
         [](FakeServiceBrowser &b) {
             b.resolve(bridge, 4s);
             b.startBrowsing("_hue._tcp", "local.");
         },
         true, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        FakeServiceBrowser browser;
        row.setUp(browser);
        int found = 0;
        int resolved = 0;
        QObject::connect(&browser, &ServiceBrowser::serviceFound, &browser, [&found] { ++found; });
        QObject::connect(&browser, &ServiceBrowser::serviceResolved, &browser, [&resolved] { ++resolved; });

        EXPECT_EQ(browser.announceFound(bridge), row.expectFound);
        EXPECT_EQ(browser.announceResolved(resolutionOf(bridge)), row.expectResolved);
        EXPECT_EQ(browser.announceResolved(resolutionOf(bridge)), row.expectResolved) << "a second answer";
        EXPECT_EQ(found, row.expectFound ? 1 : 0);
        EXPECT_EQ(resolved, row.expectResolved ? 2 : 0);
    }
}
