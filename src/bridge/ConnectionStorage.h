#pragma once

#include "bridge/BridgeConnection.h"
#include "runtime/Task.h"

#include <optional>

namespace vantora {

// The one saved bridge connection. Each call has a synchronous form, whose caller waits for
// the answer, and an awaited one, whose caller's thread goes on meanwhile.
class ConnectionStorage {
public:
    virtual ~ConnectionStorage() = default;

    // Absent when nothing is saved.
    virtual std::optional<BridgeConnection> load() = 0;
    // The same answer as load(), awaited: the caller's thread goes on while the storage waits
    // (for the person to unlock the keyring, say). Storage that never waits answers at once.
    virtual runtime::Task<std::optional<BridgeConnection>> loadWithoutBlocking() { co_return load(); }
    // Replaces whatever was saved.
    virtual void save(const BridgeConnection &connection) = 0;
    // save(), awaited as loadWithoutBlocking() awaits load().
    virtual runtime::Task<void> saveWithoutBlocking(BridgeConnection connection)
    {
        save(connection);
        co_return;
    }
    // Succeeds when nothing is saved, too.
    virtual void remove() = 0;
    // remove(), awaited as loadWithoutBlocking() awaits load().
    virtual runtime::Task<void> removeWithoutBlocking()
    {
        remove();
        co_return;
    }
};

} // namespace vantora
