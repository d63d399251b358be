#pragma once

#include "bridge/ConnectionStorage.h"

#include <mutex>
#include <optional>

namespace vantora {

// A saved connection that lives in memory only, for the preview modes: nothing reaches
// the keyring and nothing survives the process. Never fails.
class PreviewConnectionStorage final : public ConnectionStorage {
public:
    explicit PreviewConnectionStorage(std::optional<BridgeConnection> initial = std::nullopt);

    std::optional<BridgeConnection> load() override;
    void save(const BridgeConnection &connection) override;
    void remove() override;

private:
    // The interface is synchronous and callable from any thread, as the keyring's is.
    std::mutex m_mutex;
    std::optional<BridgeConnection> m_value;
};

} // namespace vantora
