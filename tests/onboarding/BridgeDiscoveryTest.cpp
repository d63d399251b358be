#include "TaskTesting.h"
#include "bridge/HueError.h"
#include "onboarding/BridgeDiscovery.h"
#include "servicebrowser/FakeServiceBrowser.h"

#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace std::chrono_literals;
using vantora::BridgeDiscovery;
using vantora::DiscoveredBridge;
using vantora::HueError;
using vantora::platform::ServiceIdentity;
using vantora::platform::ServiceResolution;
using vantora::platform::TxtRecord;
using vantora::runtime::CancellationError;
using vantora::runtime::Duration;
using vantora::runtime::TaskHandle;
using vantora::testing::FakeServiceBrowser;
using vantora::testing::TaskHarness;

namespace {

const QString noBridgeFound =
    QStringLiteral("No Bridge found. Check that your firewall allows multicast DNS, or enter its IP address.");
const QString discoveryUnavailable =
    QStringLiteral("Discovery is unavailable. Make sure the Avahi service is running, or enter the Bridge IP.");

ServiceIdentity serviceNamed(const QString &name, int interface = 2,
                             ServiceIdentity::Protocol seenOver = ServiceIdentity::Protocol::IPv4)
{
    return {interface, seenOver, name, QStringLiteral("_hue._tcp"), QStringLiteral("local")};
}

QByteArray idNumber(int n)
{
    return QByteArray::number(0xecb5fafffe000000ULL + quint64(n), 16);
}

template <typename T>
std::optional<HueError> hueErrorOf(const TaskHandle<T> &finished)
{
    try {
        finished.result();
    } catch (const HueError &error) {
        return error;
    }
    return std::nullopt;
}

// A virtual clock, a scripted browser and the discovery under test, torn down awaiting
// tasks first.
struct Search {
    TaskHarness harness;
    QPointer<FakeServiceBrowser> browser = new FakeServiceBrowser;
    std::unique_ptr<BridgeDiscovery> discovery = std::make_unique<BridgeDiscovery>(
        std::unique_ptr<FakeServiceBrowser>(browser.data()), harness.clock, harness.executor);
    vantora::runtime::TaskScope awaiters{harness.executor};
    const vantora::runtime::SteadyTime began = harness.clock.steadyNow();

    TaskHandle<std::vector<DiscoveredBridge>> findBridges()
    {
        auto handle = awaiters.spawn(discovery->findBridges());
        harness.executor.runUntilIdle();
        return handle;
    }

    void at(Duration sinceStart) { harness.clock.advanceTo(began + sinceStart); }

    void resolve(const ServiceIdentity &service, const QList<QByteArray> &txt,
                 const QHostAddress &address = QHostAddress(QStringLiteral("192.168.1.20")))
    {
        browser->announceFound(service);
        browser->announceResolved({service, QStringLiteral("bridge.local"), address, 443, TxtRecord::fromEntries(txt)});
    }

    void announce(const QString &name, const QByteArray &id, const QString &address = QStringLiteral("192.168.1.20"),
                  int interface = 2)
    {
        resolve(serviceNamed(name, interface), {"bridgeid=" + id}, QHostAddress(address));
    }

    QStringList listedNames() const
    {
        QStringList names;
        for (const DiscoveredBridge &bridge : discovery->bridges())
            names.append(bridge.name);
        return names;
    }

    void expectStoppedHoldingNothing() const
    {
        EXPECT_FALSE(discovery->isSearching());
        EXPECT_FALSE(browser->isBrowsing());
        EXPECT_TRUE(browser->pendingResolutions().empty());
        EXPECT_EQ(harness.clock.sleeperCount(), 0u) << "a poll or the time limit still sleeps";
    }
};

} // namespace

TEST(BridgeDiscovery, ListsOnlyResolutionsWithAValidIdAndAnIPv4Address)
{
    // Every row announces this name: markup is kept as text, never interpreted.
    const QString name = QStringLiteral("<b>Hue</b> Bridge & Co.");
    const DiscoveredBridge listed{"ecb5fafffe0a1b2c", name, "192.168.1.20"};
    const QHostAddress ipv4(QStringLiteral("192.168.1.20"));
    struct Row {
        const char *name;
        QList<QByteArray> txt;
        QHostAddress address;
        ServiceIdentity::Protocol seenOver;
        std::optional<DiscoveredBridge> expected;
    };
    const auto v4 = ServiceIdentity::Protocol::IPv4;
    const Row rows[] = {
        {"upper-case id, listed in lower case", {"bridgeid=ECB5FAFFFE0A1B2C"}, ipv4, v4, listed},
        {"key in another case", {"modelid=BSB002", "BridgeID=ecb5fafffe0a1b2c"}, ipv4, v4, listed},
        {"announced over IPv6, resolved to IPv4", {"bridgeid=ecb5fafffe0a1b2c"}, ipv4,
         ServiceIdentity::Protocol::IPv6, listed},
        {"15 characters", {"bridgeid=ecb5fafffe0a1b2"}, ipv4, v4, std::nullopt},
        {"17 characters", {"bridgeid=ecb5fafffe0a1b2c3"}, ipv4, v4, std::nullopt},
        {"a letter after f", {"bridgeid=ecb5fafffe0a1b2g"}, ipv4, v4, std::nullopt},
        {"a space", {"bridgeid=ecb5fafffe 0a1b2"}, ipv4, v4, std::nullopt},
        {"a non-ASCII digit", {"bridgeid=ecb5fafffe0a1b2\xd9\xa3"}, ipv4, v4, std::nullopt},
        {"not UTF-8", {"bridgeid=ecb5fafffe0a1b2\xff"}, ipv4, v4, std::nullopt},
        {"no value", {"bridgeid"}, ipv4, v4, std::nullopt},
        {"no bridgeid key", {"modelid=BSB002"}, ipv4, v4, std::nullopt},
        {"empty TXT record", {}, ipv4, v4, std::nullopt},
        {"an IPv6 address", {"bridgeid=ecb5fafffe0a1b2c"}, QHostAddress(QStringLiteral("fe80::1")), v4, std::nullopt},
        {"no address", {"bridgeid=ecb5fafffe0a1b2c"}, QHostAddress(), v4, std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Search search;
        search.discovery->start();
        search.resolve(serviceNamed(name, 2, row.seenOver), row.txt, row.address);
        const std::vector<DiscoveredBridge> expected = row.expected ? std::vector{*row.expected}
                                                                    : std::vector<DiscoveredBridge>{};
        EXPECT_EQ(search.discovery->bridges(), expected);
    }
}

TEST(BridgeDiscovery, ListsEachBridgeOnceAsItsLatestResolutionAnnouncedIt)
{
    Search search;
    search.discovery->start();
    ASSERT_EQ(search.browser->browseRequests(),
              (QList<FakeServiceBrowser::BrowseRequest>{{"_hue._tcp", "local."}}));
    search.announce("Hue Bridge", "ecb5fafffe0a1b2c");
    search.announce("Kitchen", "ecb5fafffe0a1b2d");
    for (const auto &request : search.browser->resolveRequests())
        EXPECT_EQ(request.timeout, Duration(4s));

    QSignalSpy changes(search.discovery.get(), &BridgeDiscovery::bridgesChanged);
    search.announce("Hue Bridge", "ecb5fafffe0a1b2c");
    EXPECT_EQ(changes.count(), 0) << "the same resolution again changes nothing";

    // Seen on another interface, with an upper-case id, a new name and a new address.
    search.announce("Zoo", "ECB5FAFFFE0A1B2C", "192.168.1.21", 3);
    EXPECT_EQ(search.discovery->bridges(),
              (std::vector<DiscoveredBridge>{{"ecb5fafffe0a1b2d", "Kitchen", "192.168.1.20"},
                                             {"ecb5fafffe0a1b2c", "Zoo", "192.168.1.21"}}));

    // Among equal names, the bridge resolved again goes last.
    search.announce("Kitchen", "ecb5fafffe0a1b2e");
    search.announce("Kitchen", "ecb5fafffe0a1b2d");
    std::vector<QString> ids;
    for (const DiscoveredBridge &bridge : search.discovery->bridges())
        ids.push_back(bridge.id);
    EXPECT_EQ(ids, (std::vector<QString>{"ecb5fafffe0a1b2e", "ecb5fafffe0a1b2d", "ecb5fafffe0a1b2c"}));
}

TEST(BridgeDiscovery, OrdersNamesByCodePointsAfterCanonicalComposition)
{
    struct Row {
        const char *name;
        QStringList arrivals;
        QStringList expected;
    };
    const Row rows[] = {
        {"upper case before lower case", {"Hue Bridge", "attic", "Attic"}, {"Attic", "Hue Bridge", "attic"}},
        {"digits one by one, whatever the locale", {"Room 2", "Room 10"}, {"Room 10", "Room 2"}},
        {"a decomposed accent sorts as its composed letter", {"b", "a\u0301"}, {"b", "a\u0301"}},
        {"two encodings of one name keep their arrival order", {"Caf\u00e9", "Cafe\u0301"},
         {"Caf\u00e9", "Cafe\u0301"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Search search;
        search.discovery->start();
        for (int i = 0; i < row.arrivals.size(); ++i)
            search.announce(row.arrivals[i], idNumber(i));
        EXPECT_EQ(search.listedNames(), row.expected);
    }
}

TEST(BridgeDiscovery, FindBridgesReturnsOnceTheListSettlesOrTheTimeLimitEndsTheSearch)
{
    struct Announcement {
        Duration at;
        QString name;
        QByteArray id;
    };
    struct Row {
        const char *name;
        std::vector<Announcement> announcements;
        Duration earliest;
        Duration latest;
        qsizetype expectedCount;
        std::optional<QString> expectedMessage;
    };
    std::vector<Announcement> everyThirdOfASecond;
    for (int i = 1; i * 300ms < 6s; ++i)
        everyThirdOfASecond.push_back({i * 300ms, QStringLiteral("Bridge %1").arg(i), idNumber(i)});
    const Row rows[] = {
        {"one bridge at 2 s", {{2s, "Hue Bridge", idNumber(1)}}, 2500ms, 2600ms, 1, std::nullopt},
        {"a second bridge postpones the answer",
         {{2s, "Hue Bridge", idNumber(1)}, {2300ms, "Kitchen", idNumber(2)}}, 2800ms, 2900ms, 2, std::nullopt},
        {"the same resolution again does not",
         {{2s, "Hue Bridge", idNumber(1)}, {2300ms, "Hue Bridge", idNumber(1)}}, 2500ms, 2600ms, 1, std::nullopt},
        {"nothing announced", {}, 6s, 6100ms, 0, noBridgeFound},
        {"only invalid ids", {{1s, "Hue Bridge", "not-an-id"}}, 6s, 6100ms, 0, noBridgeFound},
        {"a list that never settles is cut off", everyThirdOfASecond, 6s, 6100ms, qsizetype(everyThirdOfASecond.size()),
         std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Search search;
        const auto handle = search.findBridges();
        for (const Announcement &announcement : row.announcements) {
            search.at(announcement.at);
            search.announce(announcement.name, announcement.id);
        }
        search.at(row.earliest - 1ms);
        EXPECT_FALSE(handle.isFinished());
        search.at(row.latest);
        ASSERT_TRUE(handle.isFinished());
        EXPECT_EQ(qsizetype(handle.result().size()), row.expectedCount);
        EXPECT_EQ(search.discovery->message(), row.expectedMessage);
        search.expectStoppedHoldingNothing();
    }
}

TEST(BridgeDiscovery, RefusalToSearchThrowsDiscoveryUnavailableWithinAPoll)
{
    struct Row {
        const char *name;
        Duration refusedAt;
        bool bridgeListedBefore;
    };
    const Row rows[] = {
        {"before the first look", 0s, false},
        {"between two looks", 1050ms, false},
        {"while a listed bridge settles", 3s, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Search search;
        const auto handle = search.findBridges();
        if (row.bridgeListedBefore) {
            search.at(row.refusedAt - 200ms);
            search.announce("Hue Bridge", idNumber(1));
        }
        search.at(row.refusedAt);
        search.browser->failBrowsing();
        EXPECT_EQ(search.discovery->message(), discoveryUnavailable);
        search.at(row.refusedAt + 100ms);
        ASSERT_TRUE(handle.isFinished());
        EXPECT_EQ(hueErrorOf(handle), HueError::discoveryUnavailable());
        EXPECT_TRUE(search.discovery->searchFailed());
        search.expectStoppedHoldingNothing();
    }
}

TEST(BridgeDiscovery, CancellingTheAwaiterStopsTheSearchAtOnceAndHoldsNothing)
{
    struct Row {
        const char *name;
        void (*before)(Search &);
    };
    const Row rows[] = {
        {"before its first turn", [](Search &) {}},
        {"with a resolution pending",
         [](Search &search) {
             search.harness.executor.runUntilIdle();
             search.browser->announceFound(serviceNamed("Hue Bridge"));
             search.at(1s);
         }},
        {"while a listed bridge settles",
         [](Search &search) {
             search.harness.executor.runUntilIdle();
             search.announce("Hue Bridge", idNumber(1));
             search.at(300ms);
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Search search;
        const auto handle = search.awaiters.spawn(search.discovery->findBridges());
        row.before(search);
        handle.cancel();
        search.expectStoppedHoldingNothing();

        search.at(10s);
        ASSERT_TRUE(handle.isFinished());
        EXPECT_THROW(handle.result(), CancellationError);
        search.expectStoppedHoldingNothing();
        EXPECT_FALSE(search.discovery->message().has_value()) << "the time limit ran after all";
    }
}

TEST(BridgeDiscovery, StartingAgainRestartsTheSearchAndItsTimeLimit)
{
    Search search;
    search.discovery->start();
    search.browser->failBrowsing();
    ASSERT_TRUE(search.discovery->searchFailed());

    search.discovery->start();
    EXPECT_FALSE(search.discovery->searchFailed());
    EXPECT_FALSE(search.discovery->message().has_value());
    search.announce("Hue Bridge", idNumber(1));
    search.browser->announceFound(serviceNamed("Kitchen"));

    search.at(3s);
    search.discovery->start();
    EXPECT_TRUE(search.discovery->bridges().empty());
    EXPECT_TRUE(search.browser->pendingResolutions().empty());
    EXPECT_TRUE(search.browser->isBrowsing());

    search.at(8999ms);
    EXPECT_TRUE(search.discovery->isSearching()) << "an earlier time limit ended the new search";
    search.at(9s);
    search.expectStoppedHoldingNothing();
    EXPECT_EQ(search.discovery->message(), noBridgeFound);
}

TEST(BridgeDiscovery, DroppedWhileSearchingReleasesTheBrowserAndTheTimeLimit)
{
    Search search;
    search.discovery->start();
    search.browser->announceFound(serviceNamed("Hue Bridge"));
    search.discovery.reset();
    EXPECT_TRUE(search.browser.isNull());
    EXPECT_EQ(search.harness.clock.sleeperCount(), 0u);
    search.at(10s);
}
