#include "onboarding/SlowPreviewStore.h"

#include "onboarding/PreviewConnectionStorage.h"

namespace vantora {

namespace {

runtime::Task<std::vector<DiscoveredBridge>> findSampleBridge()
{
    co_return std::vector<DiscoveredBridge>{SlowPreviewService::sampleDiscoveredBridge()};
}

} // namespace

std::unique_ptr<HalvetStore> makeSlowPreviewStore(SlowPreviewService::Scenario scenario, runtime::Clock &clock,
                                                  runtime::Executor &executor)
{
    const auto bridge = std::make_shared<SlowPreviewService>(scenario, clock);
    std::optional<BridgeConnection> saved;
    if (!scenario.firstConnection)
        saved = SlowPreviewService::sampleConnection();

    return std::make_unique<HalvetStore>(
        StoreMode::live, HueSnapshot{}, std::make_unique<PreviewConnectionStorage>(std::move(saved)),
        [bridge](const BridgeConnection &) -> std::shared_ptr<LightService> { return bridge; },
        [bridge](const BridgeAddress &, const std::optional<QString> &) -> std::shared_ptr<BridgePairingService> {
            return bridge;
        },
        [] { return findSampleBridge(); }, AutomaticReconnection::on, clock, executor);
}

} // namespace vantora
