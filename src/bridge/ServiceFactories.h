#pragma once

#include "bridge/BridgeAddress.h"
#include "bridge/BridgeConnection.h"
#include "bridge/BridgePairingService.h"
#include "bridge/LightService.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace vantora {

// Every store operation asks a factory afresh, so no client or transport outlives one
// operation. Both may throw what building the service throws.
using LightServiceFactory = std::function<std::shared_ptr<LightService>(const BridgeConnection &connection)>;
using PairingServiceFactory = std::function<std::shared_ptr<BridgePairingService>(
    const BridgeAddress &address, const std::optional<QString> &expectedBridgeID)>;

// A HueClient for the saved connection: its address, key and expected bridge id.
LightServiceFactory defaultLightServiceFactory();
// A HueClient without a key for the address, expecting the given bridge id (any bridge
// whose certificate passes when absent).
PairingServiceFactory defaultPairingServiceFactory();

} // namespace vantora
