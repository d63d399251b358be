#include "bridge/ConnectionVault.h"

#include "bridge/HueError.h"
#include "platform/keyring/LibsecretSecretStore.h"
#include "platform/keyring/SecretStoreError.h"
#include "vantora/BuildInfo.h"

#include <QJsonDocument>

namespace vantora {

namespace {

// Runs one keyring call, turning its failure into the error the user is shown.
template <typename Call>
auto throughKeyring(Call &&call)
{
    try {
        return call();
    } catch (const platform::SecretStoreError &error) {
        throw HueError::keychain(error.status());
    }
}

QByteArray secretOf(const BridgeConnection &connection)
{
    return QJsonDocument(toJson(connection)).toJson(QJsonDocument::Compact);
}

std::optional<BridgeConnection> connectionOf(const std::optional<QByteArray> &secret)
{
    if (!secret)
        return std::nullopt;
    return runtime::json::decode<BridgeConnection>(runtime::json::parse(*secret), {});
}

} // namespace

ConnectionVault::ConnectionVault()
    : ConnectionVault(std::make_unique<platform::LibsecretSecretStore>())
{
}

ConnectionVault::ConnectionVault(std::unique_ptr<platform::SecretStore> secrets)
    : m_secrets(std::move(secrets))
    , m_item{QString::fromLatin1(buildinfo::applicationId), account}
{
}

ConnectionVault::~ConnectionVault() = default;

std::optional<BridgeConnection> ConnectionVault::load()
{
    return connectionOf(throughKeyring([this] { return m_secrets->read(m_item); }));
}

runtime::Task<std::optional<BridgeConnection>> ConnectionVault::loadWithoutBlocking()
{
    std::optional<QByteArray> secret;
    try {
        secret = co_await m_secrets->readWithoutBlocking(m_item);
    } catch (const platform::SecretStoreError &error) {
        throw HueError::keychain(error.status());
    }
    co_return connectionOf(secret);
}

void ConnectionVault::save(const BridgeConnection &connection)
{
    throughKeyring([&] { m_secrets->save(m_item, secretOf(connection)); });
}

runtime::Task<void> ConnectionVault::saveWithoutBlocking(BridgeConnection connection)
{
    try {
        co_await m_secrets->saveWithoutBlocking(m_item, secretOf(connection));
    } catch (const platform::SecretStoreError &error) {
        throw HueError::keychain(error.status());
    }
}

void ConnectionVault::remove()
{
    throughKeyring([this] { return m_secrets->remove(m_item); });
}

runtime::Task<void> ConnectionVault::removeWithoutBlocking()
{
    try {
        co_await m_secrets->removeWithoutBlocking(m_item);
    } catch (const platform::SecretStoreError &error) {
        throw HueError::keychain(error.status());
    }
}

} // namespace vantora
