#include "onboarding/SlowPreviewService.h"

#include "bridge/HueError.h"

#include <QSet>

#include <algorithm>

namespace vantora {

namespace {

using namespace std::chrono_literals;

constexpr runtime::Duration snapshotWait = 350ms;
constexpr runtime::Duration firstConnectionSnapshotWait = 2800ms;
constexpr runtime::Duration lightChangeWait = 180ms;
constexpr runtime::Duration switchWait = 1s;
constexpr runtime::Duration bridgeInfoWait = 350ms;
constexpr runtime::Duration pairingWait = 1s;

// 192.0.2.0/24 is reserved for documentation, so the pretend bridge's address can never
// be a real device's.
const QString sampleAddress = QStringLiteral("192.0.2.20");
const QString sampleBridgeID = QStringLiteral("ecb5fafffe123456");
const QString sampleBridgeName = QStringLiteral("Sample Hue Bridge");
const QString sampleApplicationKey = QStringLiteral("sample-demo-code");
const QString restoredApplicationKey = QStringLiteral("restored-sample-demo-key");

} // namespace

SlowPreviewService::SlowPreviewService(Scenario scenario, runtime::Clock &clock, HueSnapshot lights)
    : LightService(clock)
    , m_scenario(scenario)
    , m_lights(std::move(lights))
{
}

BridgeConnection SlowPreviewService::sampleConnection()
{
    return BridgeConnection{
        .address = BridgeAddress::validated(sampleAddress),
        .bridgeID = sampleBridgeID.toLower(),
        .name = sampleBridgeName,
        .applicationKey = sampleApplicationKey,
    };
}

DiscoveredBridge SlowPreviewService::sampleDiscoveredBridge()
{
    const BridgeConnection connection = sampleConnection();
    return DiscoveredBridge{.id = connection.bridgeID, .name = connection.name, .address = connection.address.host};
}

runtime::Task<HueSnapshot> SlowPreviewService::snapshot()
{
    const runtime::Duration wait = m_scenario.firstConnection ? firstConnectionSnapshotWait : snapshotWait;
    co_await clock().sleepFor(wait);
    m_scenario.firstConnection = false;
    if (m_scenario.expiredKey)
        throw HueError::unauthorized();
    if (m_scenario.initialError) {
        m_scenario.initialError = false;
        throw HueError::invalidResponse();
    }
    co_return m_lights;
}

runtime::Task<void> SlowPreviewService::setLight(QString id, bool on)
{
    co_await clock().sleepFor(switchWait);
    if (HueLight *light = lightWithID(id))
        light->isOn = on;
}

runtime::Task<void> SlowPreviewService::updateLight(QString id, LightChange change)
{
    co_await clock().sleepFor(lightChangeWait);
    if (HueLight *light = lightWithID(id))
        *light = change.applying(std::move(*light));
}

runtime::Task<void> SlowPreviewService::allOff(HueSnapshot)
{
    co_await clock().sleepFor(switchWait);
    for (HueLight &light : m_lights.lights) {
        if (light.isReachable)
            light.isOn = false;
    }
}

runtime::Task<void> SlowPreviewService::setPower(HueSnapshot snapshot, bool on)
{
    co_await clock().sleepFor(switchWait);
    QSet<QString> reachableIDs;
    for (const HueLight &light : snapshot.lights) {
        if (light.isReachable)
            reachableIDs.insert(light.id);
    }
    for (HueLight &light : m_lights.lights) {
        if (reachableIDs.contains(light.id))
            light.isOn = on;
    }
}

runtime::Task<BridgeInfo> SlowPreviewService::bridgeInfo()
{
    co_await clock().sleepFor(bridgeInfoWait);
    co_return BridgeInfo{.bridgeid = sampleBridgeID, .name = sampleBridgeName, .modelid = std::nullopt};
}

runtime::Task<QString> SlowPreviewService::pair()
{
    co_await clock().sleepFor(pairingWait);
    m_scenario.expiredKey = false;
    co_return restoredApplicationKey;
}

HueLight *SlowPreviewService::lightWithID(const QString &id)
{
    const auto found = std::find_if(m_lights.lights.begin(), m_lights.lights.end(),
                                    [&id](const HueLight &light) { return light.id == id; });
    return found == m_lights.lights.end() ? nullptr : &*found;
}

} // namespace vantora
