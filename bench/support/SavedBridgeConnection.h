#pragma once

// What the store benchmarks start from: a saved connection to a bridge at a documentation
// address, and a search that finds no bridge. Neither touches the keyring or the network.

#include "bridge/ConnectionStorage.h"
#include "bridge/DiscoveredBridge.h"
#include "runtime/Task.h"

#include <vector>

namespace vantora::bench {

class SavedBridgeConnection final : public ConnectionStorage {
public:
    std::optional<BridgeConnection> load() override
    {
        return BridgeConnection{BridgeAddress::validated(QStringLiteral("192.0.2.1")),
                                QStringLiteral("0123456789abcdef"), QStringLiteral("Bridge"), QStringLiteral("key")};
    }
    void save(const BridgeConnection &) override {}
    void remove() override {}
};

inline runtime::Task<std::vector<DiscoveredBridge>> findNothing()
{
    co_return std::vector<DiscoveredBridge>{};
}

} // namespace vantora::bench
