#include "bridge/ServiceFactories.h"

#include "bridge/HueClient.h"

namespace vantora {

namespace {

std::shared_ptr<LightService> makeLightService(const BridgeConnection &connection)
{
    return std::make_shared<HueClient>(connection);
}

std::shared_ptr<BridgePairingService> makePairingService(const BridgeAddress &address,
                                                         const std::optional<QString> &expectedBridgeID)
{
    return std::make_shared<HueClient>(address, std::nullopt, expectedBridgeID);
}

} // namespace

LightServiceFactory defaultLightServiceFactory()
{
    return &makeLightService;
}

PairingServiceFactory defaultPairingServiceFactory()
{
    return &makePairingService;
}

} // namespace vantora
