#pragma once

#include "bridge/BridgeInfo.h"
#include "runtime/Task.h"

#include <QString>

namespace vantora {

// Reading a bridge's identity and pairing with it.
class BridgePairingService {
public:
    virtual ~BridgePairingService() = default;

    // The identity of the bridge at the service's address, as the bridge reports it.
    virtual runtime::Task<BridgeInfo> bridgeInfo() = 0;
    // A new application key; fails with HueError::linkButtonNotPressed until the bridge's
    // link button has been pressed.
    virtual runtime::Task<QString> pair() = 0;
};

} // namespace vantora
