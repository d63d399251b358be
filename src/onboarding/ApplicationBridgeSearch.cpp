#include "onboarding/ApplicationBridgeSearch.h"

#include "onboarding/BridgeDiscovery.h"
#include "onboarding/SlowPreviewService.h"
#include "platform/avahi/AvahiServiceBrowser.h"

namespace vantora {

namespace {

runtime::Task<std::vector<DiscoveredBridge>> searchLocalNetwork(runtime::Clock &clock, runtime::Executor &executor)
{
    BridgeDiscovery discovery(std::make_unique<platform::AvahiServiceBrowser>(clock, executor), clock, executor);
    std::vector<DiscoveredBridge> found = co_await discovery.findBridges();
    co_return found;
}

runtime::Task<std::vector<DiscoveredBridge>> previewSample()
{
    co_return std::vector<DiscoveredBridge>{SlowPreviewService::sampleDiscoveredBridge()};
}

} // namespace

BridgeSearch applicationBridgeSearch(SearchSource source, runtime::Clock &clock, runtime::Executor &executor)
{
    switch (source) {
    case SearchSource::localNetwork:
        return [&clock, &executor] { return searchLocalNetwork(clock, executor); };
    case SearchSource::previewSample:
        return [] { return previewSample(); };
    }
    Q_UNREACHABLE();
}

} // namespace vantora
