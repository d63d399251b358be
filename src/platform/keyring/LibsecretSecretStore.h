#pragma once

#include "platform/keyring/SecretStore.h"

namespace vantora::platform {

// The user's keyring, reached through the Secret Service on the session bus (GNOME Keyring,
// KWallet, KeePassXC). An item is a secret carrying the attributes "service" and "account";
// a new one goes into the default collection, labelled "vantora <account>".
//
// Locked items are unlocked on demand, which may show the keyring's own prompt and waits for
// the person to answer it (read(), save() and remove() block meanwhile; their WithoutBlocking
// forms do not). Reaching the service is bounded: when no service answers within a few
// seconds, the call fails with SecretFailure::noService instead of hanging the caller.
//
// Items are not tied to "this device while unlocked": the keyring lives in the user's home
// folder and is unlocked at login, which is as close as the Secret Service comes.
class LibsecretSecretStore final : public SecretStore {
public:
    std::optional<QByteArray> read(const SecretItemName &item) override;
    // Reaches the service and waits for the person on the application's main loop (GLib's,
    // which Qt's runs); reaching the service is bounded as for read().
    runtime::Task<std::optional<QByteArray>> readWithoutBlocking(SecretItemName item) override;
    void save(const SecretItemName &item, const QByteArray &secret) override;
    runtime::Task<void> saveWithoutBlocking(SecretItemName item, QByteArray secret) override;
    SecretRemoval remove(const SecretItemName &item) override;
    runtime::Task<SecretRemoval> removeWithoutBlocking(SecretItemName item) override;
};

} // namespace vantora::platform
