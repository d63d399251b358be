#pragma once

#include "bridge/ConnectionStorage.h"
#include "bridge/DiscoveredBridge.h"
#include "bridge/ServiceFactories.h"
#include "runtime/Task.h"

#include <functional>
#include <memory>
#include <vector>

namespace vantora {

enum class StoreMode {
    // Reads and writes the saved connection and talks to the bridge.
    live,
    // Demonstration: never touches storage or a bridge; light changes apply to the
    // snapshot directly.
    demo,
};

enum class AutomaticReconnection {
    // A connectivity failure during refresh only shows the failure.
    off,
    // A connectivity failure during refresh may start a reconnection (at most once per 30 s).
    on,
};

// Finds the bridges on the local network, for reconnecting to a bridge that moved.
using BridgeSearch = std::function<runtime::Task<std::vector<DiscoveredBridge>>()>;

// What a store is given when it is built and keeps unchanged for its whole life.
struct StoreServices {
    StoreMode mode = StoreMode::live;
    std::unique_ptr<ConnectionStorage> storage;
    LightServiceFactory serviceFactory;
    PairingServiceFactory pairingServiceFactory;
    BridgeSearch discover;
    AutomaticReconnection automaticallyReconnect = AutomaticReconnection::on;

    bool isDemo() const noexcept { return mode == StoreMode::demo; }
};

} // namespace vantora
