#pragma once

#include "runtime/Task.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vantora::platform {

// Names one item in the user's keyring. Two items with the same service and account are
// the same item; a different service or account is a different, independent item.
struct SecretItemName {
    QString service;
    QString account;

    bool operator==(const SecretItemName &) const = default;
};

enum class SecretRemoval {
    // An item existed and is gone now.
    removed,
    // There was nothing to remove; the keyring is unchanged.
    wasAbsent,
};

// A keyring that keeps secrets as opaque bytes, returned exactly as they were saved
// (empty, NUL bytes and non-UTF-8 included). Every call is synchronous and may wait for
// the user to unlock the keyring. Every failure throws SecretStoreError; "no such item"
// is never a failure.
class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The secret of the item, or nothing when no such item exists. A locked item whose
    // unlock is refused is a failure, never "nothing".
    virtual std::optional<QByteArray> read(const SecretItemName &item) = 0;
    // The same answer as read(), awaited: the caller's thread goes on (drawing, answering
    // input) while the keyring waits for the person to unlock it. Cancelling the task ends
    // the wait. A store that never waits answers at once.
    virtual runtime::Task<std::optional<QByteArray>> readWithoutBlocking(SecretItemName item)
    {
        co_return read(item);
    }

    // Adds the item, or replaces the secret of the existing one in place. Afterwards exactly
    // one item with this name exists.
    virtual void save(const SecretItemName &item, const QByteArray &secret) = 0;
    // save(), awaited as readWithoutBlocking() awaits read(). A save whose task is cancelled
    // may or may not have reached the keyring.
    virtual runtime::Task<void> saveWithoutBlocking(SecretItemName item, QByteArray secret)
    {
        save(item, secret);
        co_return;
    }

    // Removes the item. Removing an item that does not exist succeeds with `wasAbsent`.
    virtual SecretRemoval remove(const SecretItemName &item) = 0;
    // remove(), awaited as readWithoutBlocking() awaits read().
    virtual runtime::Task<SecretRemoval> removeWithoutBlocking(SecretItemName item) { co_return remove(item); }
};

} // namespace vantora::platform
