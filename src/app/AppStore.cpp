#include "app/AppStore.h"

#include "bridge/ConnectionVault.h"
#include "bridge/HueClient.h"
#include "bridge/HueHTTPS.h"
#include "bridge/ServiceFactories.h"
#include "onboarding/ApplicationBridgeSearch.h"
#include "onboarding/PreviewConnectionStorage.h"
#include "onboarding/SlowPreviewStore.h"
#include "store/HalvetStore.h"

namespace vantora {

namespace {

HueSnapshot demoHome(LaunchPlan::DemoHome home)
{
#ifdef VANTORA_BENCH_HOOKS
    // The panel's memory is measured on a home far larger than any demonstration's.
    if (const int lightCount = qEnvironmentVariableIntValue("VANTORA_BENCH_DEMO_LIGHTS"); lightCount > 0)
        return HueSnapshot::sample(lightCount);
#endif
    switch (home) {
    case LaunchPlan::DemoHome::preview:
        return HueSnapshot::demo();
    case LaunchPlan::DemoHome::fifteenSamples:
        return HueSnapshot::sample(SlowPreviewService::sampleLightCount);
    case LaunchPlan::DemoHome::empty:
        return {};
    }
    Q_UNREACHABLE();
}

#ifdef VANTORA_TEST_HOOKS
// Integration tests run the application against the fake bridge, which listens on a port
// of its own and presents a certificate of the test roots.
struct TestBridge {
    QString rootsPath;
    quint16 port = 0;
};

std::optional<TestBridge> testBridge()
{
    const QString roots = qEnvironmentVariable("VANTORA_TEST_BRIDGE_ROOTS");
    const quint16 port = quint16(qEnvironmentVariableIntValue("VANTORA_TEST_BRIDGE_PORT"));
    if (roots.isEmpty() || port == 0)
        return std::nullopt;
    return TestBridge{roots, port};
}

std::shared_ptr<HueClient> testClient(const TestBridge &bridge, const BridgeAddress &address,
                                      std::optional<QString> key, std::optional<QString> expectedBridgeID)
{
    auto transport = std::make_shared<HueHTTPS>(address, expectedBridgeID, bridge.rootsPath);
    transport->setTestPort(bridge.port);
    return std::make_shared<HueClient>(address, std::move(key), std::move(expectedBridgeID), std::move(transport));
}
#endif

LightServiceFactory lightServiceFactory()
{
#ifdef VANTORA_TEST_HOOKS
    if (const auto bridge = testBridge()) {
        return [bridge = *bridge](const BridgeConnection &connection) -> std::shared_ptr<LightService> {
            return testClient(bridge, connection.address, connection.applicationKey, connection.bridgeID);
        };
    }
#endif
    return defaultLightServiceFactory();
}

PairingServiceFactory pairingServiceFactory()
{
#ifdef VANTORA_TEST_HOOKS
    if (const auto bridge = testBridge()) {
        return [bridge = *bridge](const BridgeAddress &address,
                                  const std::optional<QString> &expectedBridgeID) -> std::shared_ptr<BridgePairingService> {
            return testClient(bridge, address, std::nullopt, expectedBridgeID);
        };
    }
#endif
    return defaultPairingServiceFactory();
}

} // namespace

std::unique_ptr<HalvetStore> makeAppStore(const LaunchPlan &plan)
{
    switch (plan.store) {
    case LaunchPlan::Store::slowPreview:
        return makeSlowPreviewStore(plan.slowPreview);
    case LaunchPlan::Store::demo:
        return std::make_unique<HalvetStore>(StoreMode::demo, demoHome(plan.demoHome),
                                             std::make_unique<PreviewConnectionStorage>(), lightServiceFactory(),
                                             pairingServiceFactory(), applicationBridgeSearch(plan.searchSource),
                                             AutomaticReconnection::on);
    case LaunchPlan::Store::live:
        return std::make_unique<HalvetStore>(StoreMode::live, HueSnapshot{}, std::make_unique<ConnectionVault>(),
                                             lightServiceFactory(), pairingServiceFactory(),
                                             applicationBridgeSearch(plan.searchSource), AutomaticReconnection::on,
                                             runtime::systemClock(), runtime::mainExecutor(), nullptr,
                                             SavedConnectionRead::whenAsked);
    }
    Q_UNREACHABLE();
}

} // namespace vantora
