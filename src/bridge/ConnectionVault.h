#pragma once

#include "bridge/ConnectionStorage.h"
#include "platform/keyring/SecretStore.h"

#include <memory>

namespace vantora {

// The saved connection in the user's keyring: one item named by the application id and the
// account "bridge-connection", whose secret is the connection's JSON. The application key
// lands nowhere else; there is no fallback to a file. Every call waits for the keyring
// (blocking or awaited), which may first ask the user to unlock it.
//
// Keyring failures throw HueError::keychain with the failure's fixed negative status;
// a stored secret that is not a connection throws the DecodingError.
class ConnectionVault final : public ConnectionStorage {
public:
    static constexpr QLatin1String account{"bridge-connection"};

    // The user's keyring through the Secret Service.
    ConnectionVault();
    explicit ConnectionVault(std::unique_ptr<platform::SecretStore> secrets);
    ~ConnectionVault() override;

    std::optional<BridgeConnection> load() override;
    runtime::Task<std::optional<BridgeConnection>> loadWithoutBlocking() override;
    void save(const BridgeConnection &connection) override;
    runtime::Task<void> saveWithoutBlocking(BridgeConnection connection) override;
    void remove() override;
    runtime::Task<void> removeWithoutBlocking() override;

    const platform::SecretItemName &item() const noexcept { return m_item; }

private:
    std::unique_ptr<platform::SecretStore> m_secrets;
    platform::SecretItemName m_item;
};

} // namespace vantora
