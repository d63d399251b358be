#include "MemorySecretStore.h"

namespace vantora::testing {

using platform::SecretFailure;
using platform::SecretItemName;
using platform::SecretRemoval;
using platform::SecretStoreError;

void MemorySecretStore::enter(SecretOperation operation)
{
    ++m_calls[index(operation)];
    if (const auto failure = m_failures[index(operation)])
        throw SecretStoreError(*failure, QStringLiteral("injected by the test"));
}

std::optional<QByteArray> MemorySecretStore::read(const SecretItemName &item)
{
    enter(SecretOperation::read);
    return peek(item);
}

void MemorySecretStore::save(const SecretItemName &item, const QByteArray &secret)
{
    enter(SecretOperation::save);
    m_items[keyOf(item)] = secret;
}

SecretRemoval MemorySecretStore::remove(const SecretItemName &item)
{
    enter(SecretOperation::remove);
    return m_items.erase(keyOf(item)) > 0 ? SecretRemoval::removed : SecretRemoval::wasAbsent;
}

void MemorySecretStore::failWith(SecretOperation operation, SecretFailure failure)
{
    m_failures[index(operation)] = failure;
}

void MemorySecretStore::clearFailure(SecretOperation operation)
{
    m_failures[index(operation)].reset();
}

void MemorySecretStore::place(const SecretItemName &item, QByteArray secret)
{
    m_items[keyOf(item)] = std::move(secret);
}

std::optional<QByteArray> MemorySecretStore::peek(const SecretItemName &item) const
{
    const auto found = m_items.find(keyOf(item));
    if (found == m_items.end())
        return std::nullopt;
    return found->second;
}

} // namespace vantora::testing
