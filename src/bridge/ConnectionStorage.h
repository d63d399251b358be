#pragma once

#include "bridge/BridgeConnection.h"

#include <optional>

namespace vantora {

// The one saved bridge connection. Synchronous: its caller waits for the answer.
class ConnectionStorage {
public:
    virtual ~ConnectionStorage() = default;

    // Absent when nothing is saved.
    virtual std::optional<BridgeConnection> load() = 0;
    // Replaces whatever was saved.
    virtual void save(const BridgeConnection &connection) = 0;
    // Succeeds when nothing is saved, too.
    virtual void remove() = 0;
};

} // namespace vantora
