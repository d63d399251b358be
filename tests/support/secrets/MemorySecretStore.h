#pragma once

#include "platform/keyring/SecretStore.h"
#include "platform/keyring/SecretStoreError.h"

#include <array>
#include <map>
#include <utility>

namespace vantora::testing {

enum class SecretOperation { read, save, remove };

// A keyring in memory. It keeps items by name like the real one, counts every call per
// operation (failed calls included) and fails an operation on request, leaving the items
// untouched when it does.
class MemorySecretStore final : public platform::SecretStore {
public:
    std::optional<QByteArray> read(const platform::SecretItemName &item) override;
    void save(const platform::SecretItemName &item, const QByteArray &secret) override;
    platform::SecretRemoval remove(const platform::SecretItemName &item) override;

    // Every later call of `operation` throws SecretStoreError with `failure`, until cleared.
    void failWith(SecretOperation operation, platform::SecretFailure failure);
    void clearFailure(SecretOperation operation);

    // Puts bytes in place as if saved earlier (data that is not what the reader expects,
    // say), without counting a call.
    void place(const platform::SecretItemName &item, QByteArray secret);
    // The stored bytes, without counting a call.
    std::optional<QByteArray> peek(const platform::SecretItemName &item) const;

    int itemCount() const { return static_cast<int>(m_items.size()); }
    int callCount(SecretOperation operation) const { return m_calls[index(operation)]; }

private:
    using Key = std::pair<QString, QString>;

    static std::size_t index(SecretOperation operation) { return static_cast<std::size_t>(operation); }
    static Key keyOf(const platform::SecretItemName &item) { return {item.service, item.account}; }
    void enter(SecretOperation operation);

    std::map<Key, QByteArray> m_items;
    std::array<int, 3> m_calls{};
    std::array<std::optional<platform::SecretFailure>, 3> m_failures{};
};

} // namespace vantora::testing
