#include "onboarding/BridgeDiscovery.h"

#include "bridge/HueError.h"
#include "runtime/ExternalWait.h"
#include "runtime/Strings.h"

#include <QHostAddress>

#include <algorithm>

using namespace std::chrono_literals;

namespace vantora {

namespace {

const QString bridgeServiceType = QStringLiteral("_hue._tcp");
const QString bridgeServiceDomain = QStringLiteral("local.");
constexpr QByteArrayView bridgeIdTxtKey = "bridgeid";

constexpr runtime::Duration resolveTimeLimit = 4s;
constexpr runtime::Duration searchTimeLimit = 6s;
constexpr runtime::Duration pollInterval = 100ms;
constexpr runtime::Duration settleTime = 500ms;

QString noBridgeFoundText()
{
    return BridgeDiscovery::tr("No Bridge found. Check that your firewall allows multicast DNS, "
                               "or enter its IP address.");
}

QString discoveryUnavailableText()
{
    return BridgeDiscovery::tr("Discovery is unavailable. Make sure the Avahi service is running, "
                               "or enter the Bridge IP.");
}

std::optional<DiscoveredBridge> bridgeAnnouncedBy(const platform::ServiceResolution &resolution)
{
    const std::optional<QByteArray> idBytes = resolution.txt.value(bridgeIdTxtKey);
    if (!idBytes)
        return std::nullopt;
    // Bytes that are not UTF-8 decode to replacement characters, which no bridge id holds.
    const QString id = QString::fromUtf8(*idBytes);
    if (!runtime::isBridgeId(id))
        return std::nullopt;
    // The address kind comes from the resolver's own field: a backend that ever hands over
    // something else is refused here rather than listed as a bridge nobody can reach.
    if (resolution.ipv4Address.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return DiscoveredBridge{id.toLower(), resolution.service.name, resolution.ipv4Address.toString()};
}

// Case-sensitive and the same in every locale; names that differ only in how their accents
// are encoded keep their order of arrival.
void sortByName(std::vector<DiscoveredBridge> &bridges)
{
    std::stable_sort(bridges.begin(), bridges.end(), [](const DiscoveredBridge &a, const DiscoveredBridge &b) {
        return runtime::codePointCompare(a.name.normalized(QString::NormalizationForm_C),
                                         b.name.normalized(QString::NormalizationForm_C))
            < 0;
    });
}

runtime::Task<void> wakeAt(runtime::Clock &clock, runtime::SteadyTime time, runtime::Completer<void> done)
{
    co_await clock.sleepUntil(time);
    done.resolve();
}

} // namespace

BridgeDiscovery::BridgeDiscovery(std::unique_ptr<platform::ServiceBrowser> browser, runtime::Clock &clock,
                                 runtime::Executor &executor, QObject *parent)
    : QObject(parent)
    , m_browser(std::move(browser))
    , m_clock(clock)
    , m_tasks(executor)
{
    Q_ASSERT(m_browser);
    using platform::ServiceBrowser;
    connect(m_browser.get(), &ServiceBrowser::serviceFound, this, &BridgeDiscovery::onServiceFound);
    connect(m_browser.get(), &ServiceBrowser::serviceResolved, this, &BridgeDiscovery::onServiceResolved);
    connect(m_browser.get(), &ServiceBrowser::browsingFailed, this, &BridgeDiscovery::onBrowsingFailed);
}

BridgeDiscovery::~BridgeDiscovery() = default;

runtime::Task<std::vector<DiscoveredBridge>> BridgeDiscovery::findBridges()
{
    start();
    runtime::SteadyTime lastChange = m_clock.steadyNow();
    std::vector<DiscoveredBridge> previous;
    while (m_isSearching.get()) {
        try {
            co_await pauseBetweenLooks();
        } catch (const runtime::CancellationError &) {
            stop();
            throw;
        }
        if (m_bridges.get() != previous) {
            previous = m_bridges.get();
            lastChange = m_clock.steadyNow();
        }
        if (!previous.empty() && m_clock.steadyNow() - lastChange >= settleTime)
            break;
    }
    const bool cancelled = co_await runtime::isCancelled();
    if (cancelled) {
        stop();
        throw runtime::CancellationError{};
    }
    if (m_searchFailed.get()) {
        stop();
        throw HueError::discoveryUnavailable();
    }
    std::vector<DiscoveredBridge> found = m_bridges.get();
    stop();
    co_return found;
}

void BridgeDiscovery::start()
{
    stop();
    m_bridges.set({});
    m_message.set(std::nullopt);
    m_searchFailed.set(false);
    m_isSearching.set(true);
    m_browser->startBrowsing(bridgeServiceType, bridgeServiceDomain);
    m_timeLimit = m_tasks.spawn(endSearchAt(m_clock.steadyNow() + searchTimeLimit));
}

void BridgeDiscovery::stop()
{
    std::exchange(m_timeLimit, {}).cancel();
    m_browser->stop();
    m_isSearching.set(false);
}

void BridgeDiscovery::onServiceFound(const platform::ServiceIdentity &service)
{
    m_browser->resolve(service, resolveTimeLimit);
}

void BridgeDiscovery::onServiceResolved(const platform::ServiceResolution &resolution)
{
    const std::optional<DiscoveredBridge> bridge = bridgeAnnouncedBy(resolution);
    if (!bridge)
        return;
    std::vector<DiscoveredBridge> bridges = m_bridges.get();
    // The same bridge seen on another interface, or announcing a new name or address.
    std::erase_if(bridges, [&bridge](const DiscoveredBridge &listed) { return listed.id == bridge->id; });
    bridges.push_back(*bridge);
    sortByName(bridges);
    m_bridges.set(std::move(bridges));
}

void BridgeDiscovery::onBrowsingFailed()
{
    m_searchFailed.set(true);
    stop();
    m_message.set(discoveryUnavailableText());
}

runtime::Task<void> BridgeDiscovery::endSearchAt(runtime::SteadyTime deadline)
{
    co_await m_clock.sleepUntil(deadline);
    // A search stopped or restarted while this wake-up was on its way is not ours to end.
    co_await runtime::checkCancellation();
    stop();
    if (m_bridges->empty())
        m_message.set(noBridgeFoundText());
}

runtime::Task<void> BridgeDiscovery::pauseBetweenLooks()
{
    const runtime::SteadyTime wakeUp = m_clock.steadyNow() + pollInterval;
    // The sleep runs as a task of its own so that this wait's cancel hook can stop the
    // search there and then, rather than when the cancelled awaiter next gets a turn.
    runtime::TaskScope sleeper(m_tasks.executor());
    runtime::TaskHandle<void> sleep;
    co_await runtime::ExternalWait<void>(
        [this, wakeUp, &sleeper, &sleep](runtime::Completer<void> done) {
            sleep = sleeper.spawn(wakeAt(m_clock, wakeUp, std::move(done)));
        },
        [this, &sleep] {
            sleep.cancel();
            stop();
        });
}

} // namespace vantora
