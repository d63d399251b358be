// Runs inside the network namespace that avahi_namespace_test.sh makes: a private
// avahi-daemon on both ends of a veth pair, announcing the two services below.

#include "BrowserEventLog.h"
#include "EventLoopTesting.h"
#include "platform/avahi/AvahiServiceBrowser.h"
#include "runtime/VirtualClock.h"

#include <QNetworkInterface>

#include <gtest/gtest.h>

#include <signal.h>

#include <set>
#include <utility>

using namespace std::chrono_literals;
using vantora::platform::AvahiServiceBrowser;
using vantora::platform::ServiceBrowser;
using vantora::platform::ServiceIdentity;
using vantora::platform::ServiceResolution;
using vantora::testing::BrowserEventLog;
using vantora::testing::waitForEvents;

namespace {

const QString hueType = QStringLiteral("_hue._tcp");
const QString localDomain = QStringLiteral("local.");
constexpr auto resolveTimeout = 4s;
constexpr auto watchdog = 20s;
// Each service is seen on both ends of the veth pair.
constexpr std::size_t interfacesPerService = 2;

struct Announcement {
    QString name;
    quint16 port;
    QByteArray bridgeId;
};

// What the script publishes. The second name is markup with a dot, and its TXT key is in
// mixed case, its id in upper case: all must arrive exactly as announced.
const Announcement testBridge{QStringLiteral("Test Bridge"), 443, "001788fffe123456"};
const Announcement markupBridge{QStringLiteral("<b>x</b> Room.2"), 8443, "001788FFFE654321"};

// A process id the script handed over.
pid_t pidFromEnvironment(const char *variable)
{
    return pid_t(qEnvironmentVariableIntValue(variable));
}

// As the discovery will: resolve every service as soon as it is found.
void resolveEachFound(ServiceBrowser &browser)
{
    QObject::connect(&browser, &ServiceBrowser::serviceFound, &browser,
                     [&browser](const ServiceIdentity &service) { browser.resolve(service, resolveTimeout); });
}

std::set<std::pair<QString, int>> resolvedNamesAndInterfaces(const BrowserEventLog &log)
{
    std::set<std::pair<QString, int>> seen;
    for (const ServiceResolution &resolution : log.resolved())
        seen.emplace(resolution.service.name, resolution.service.interfaceIndex);
    return seen;
}

bool allResolvedEverywhere(const BrowserEventLog &log)
{
    return resolvedNamesAndInterfaces(log).size() == 2 * interfacesPerService;
}

QHostAddress ipv4AddressOfInterface(int index)
{
    for (const QNetworkAddressEntry &entry : QNetworkInterface::interfaceFromIndex(index).addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            return entry.ip();
    }
    return {};
}

} // namespace

TEST(AvahiServiceBrowserInNamespace, FindsAndResolvesEveryAnnouncement)
{
    AvahiServiceBrowser browser;
    BrowserEventLog log(browser);
    resolveEachFound(browser);

    browser.startBrowsing(hueType, localDomain);
    ASSERT_TRUE(waitForEvents([&] { return allResolvedEverywhere(log); }, watchdog))
        << log.found().size() << " found, " << log.resolved().size() << " resolved";
    browser.stop();
    EXPECT_TRUE(log.failures().isEmpty()) << log.failures().join(u'\n').toStdString();

    for (const Announcement &announcement : {testBridge, markupBridge}) {
        SCOPED_TRACE(announcement.name.toStdString());
        std::set<int> interfaces;
        for (const ServiceResolution &resolution : log.resolved()) {
            if (resolution.service.name != announcement.name)
                continue;
            interfaces.insert(resolution.service.interfaceIndex);
            EXPECT_NE(std::find(log.found().begin(), log.found().end(), resolution.service), log.found().end())
                << "resolved a service that was never found";
            EXPECT_EQ(resolution.service.type, QStringLiteral("_hue._tcp"));
            EXPECT_EQ(resolution.service.domain, QStringLiteral("local"));
            EXPECT_EQ(resolution.service.protocol, ServiceIdentity::Protocol::IPv4);
            EXPECT_TRUE(resolution.hostName.endsWith(QStringLiteral(".local"))) << resolution.hostName.toStdString();
            EXPECT_EQ(resolution.ipv4Address.protocol(), QAbstractSocket::IPv4Protocol);
            EXPECT_EQ(resolution.ipv4Address, ipv4AddressOfInterface(resolution.service.interfaceIndex))
                << resolution.ipv4Address.toString().toStdString();
            EXPECT_EQ(resolution.port, announcement.port);
            EXPECT_EQ(resolution.txt.value("bridgeid"), announcement.bridgeId);
        }
        EXPECT_EQ(interfaces.size(), interfacesPerService);
    }
}

TEST(AvahiServiceBrowserInNamespace, StopEndsTheBrowseAndItsResolutionsAtOnce)
{
    AvahiServiceBrowser stopped;
    BrowserEventLog stoppedLog(stopped);
    QObject::connect(&stopped, &ServiceBrowser::serviceFound, &stopped, [&stopped](const ServiceIdentity &service) {
        stopped.resolve(service, resolveTimeout);
        stopped.stop();
    });
    stopped.startBrowsing(hueType, localDomain);

    // A second browser shows when everything the first could have reported has arrived.
    AvahiServiceBrowser witness;
    BrowserEventLog witnessLog(witness);
    resolveEachFound(witness);
    witness.startBrowsing(hueType, localDomain);

    ASSERT_TRUE(waitForEvents([&] { return !stoppedLog.found().empty() && allResolvedEverywhere(witnessLog); },
                              watchdog));
    EXPECT_EQ(stoppedLog.found().size(), 1u);
    EXPECT_TRUE(stoppedLog.resolved().empty());
    EXPECT_TRUE(stoppedLog.removed().empty());
    EXPECT_TRUE(stoppedLog.failures().isEmpty());
}

TEST(AvahiServiceBrowserInNamespace, EachResolutionWaitsOutItsTimeOutOnTheGivenClockUntilStop)
{
    vantora::runtime::ManualExecutor clockExecutor;
    vantora::runtime::VirtualClock clock(clockExecutor);
    AvahiServiceBrowser browser(clock);
    BrowserEventLog log(browser);
    resolveEachFound(browser);

    browser.startBrowsing(hueType, localDomain);
    ASSERT_TRUE(waitForEvents([&] { return allResolvedEverywhere(log) && clock.sleeperCount() == log.found().size(); },
                              watchdog));
    EXPECT_EQ(clock.nextDeadline(), clock.steadyNow() + resolveTimeout);

    browser.stop();
    EXPECT_EQ(clock.sleeperCount(), 0u) << "a time-out outlived stop()";
}

TEST(AvahiServiceBrowserInNamespace, ReportsTheRemovalWhenThePublisherGoes)
{
    const pid_t publisher = pidFromEnvironment("VANTORA_TEST_MARKUP_PUBLISHER_PID");
    ASSERT_GT(publisher, 0) << "VANTORA_TEST_MARKUP_PUBLISHER_PID is set by avahi_namespace_test.sh";

    AvahiServiceBrowser browser;
    BrowserEventLog log(browser);
    browser.startBrowsing(hueType, localDomain);
    ASSERT_TRUE(waitForEvents([&] { return log.wasFound(markupBridge.name); }, watchdog));

    ASSERT_EQ(::kill(publisher, SIGTERM), 0);
    ASSERT_TRUE(waitForEvents([&] { return log.wasRemoved(markupBridge.name); }, watchdog));

    for (const ServiceIdentity &removed : log.removed()) {
        EXPECT_EQ(removed.name, markupBridge.name);
        EXPECT_NE(std::find(log.found().begin(), log.found().end(), removed), log.found().end())
            << "removed a service that was never found";
    }
    EXPECT_TRUE(log.failures().isEmpty());
}

TEST(AvahiServiceBrowserInNamespace, ReportsAFailureWhenTheDaemonGoes)
{
    const pid_t daemon = pidFromEnvironment("VANTORA_TEST_AVAHI_DAEMON_PID");
    ASSERT_GT(daemon, 0) << "VANTORA_TEST_AVAHI_DAEMON_PID is set by avahi_namespace_test.sh";

    AvahiServiceBrowser browser;
    BrowserEventLog log(browser);
    browser.startBrowsing(hueType, localDomain);
    ASSERT_TRUE(waitForEvents([&] { return log.wasFound(testBridge.name); }, watchdog));

    ASSERT_EQ(::kill(daemon, SIGTERM), 0);
    ASSERT_TRUE(waitForEvents([&] { return !log.failures().isEmpty(); }, watchdog));
    EXPECT_EQ(log.failures().size(), 1);

    // The failed browse holds nothing that could still report; a new one fails at once.
    browser.resolve(log.found().front(), resolveTimeout);
    browser.startBrowsing(hueType, localDomain);
    ASSERT_TRUE(waitForEvents([&] { return log.failures().size() == 2; }, watchdog));
    EXPECT_TRUE(log.resolved().empty());
}
