#include "platform/keyring/LibsecretSecretStore.h"

#include "platform/keyring/KeyringErrorClassification.h"
#include "platform/keyring/SecretStoreError.h"

#include "runtime/ExternalWait.h"

#include <QTimer>

#include <libsecret/secret.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

namespace vantora::platform {
namespace {

constexpr char serviceAttribute[] = "service";
constexpr char accountAttribute[] = "account";
constexpr char schemaName[] = "org.vantora.GenericSecret";
// The store promises bytes, not text: the keyring must hand back exactly what it was given.
constexpr char secretContentType[] = "application/octet-stream";

// A keyring daemon that is running, or started by the bus on demand, answers in well under
// a second. One that has not answered after this long is treated as absent, so that a
// launch never hangs on it. Unlock prompts come later and are not bounded: they wait for
// the person.
constexpr std::chrono::milliseconds serviceAnswerLimit{5000};

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct SecretValueUnref {
    void operator()(SecretValue *value) const { secret_value_unref(value); }
};
using SecretValuePtr = std::unique_ptr<SecretValue, SecretValueUnref>;

struct HashTableUnref {
    void operator()(GHashTable *table) const { g_hash_table_unref(table); }
};
using AttributesPtr = std::unique_ptr<GHashTable, HashTableUnref>;

struct ItemListFree {
    void operator()(GList *items) const { g_list_free_full(items, g_object_unref); }
};
using ItemList = std::unique_ptr<GList, ItemListFree>;

// Cancels a GLib operation that is still running when the time is up; leaving scope before
// then ends the watch. It watches from a thread of its own because the operation blocks
// this one.
class CancelAfter final {
public:
    CancelAfter(GCancellable *cancellable, std::chrono::milliseconds limit)
        : m_thread([this, cancellable, limit](std::stop_token stop) {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, stop, limit, [] { return false; });
            if (!stop.stop_requested())
                g_cancellable_cancel(cancellable);
        })
    {
    }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::jthread m_thread;
};

const SecretSchema *itemSchema()
{
    static const SecretSchema schema = [] {
        SecretSchema built{};
        built.name = schemaName;
        // Matched by service and account alone, so an item another program wrote under the
        // same name is the same item; the schema name is only recorded on items we add.
        built.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        built.attributes[0] = {serviceAttribute, SECRET_SCHEMA_ATTRIBUTE_STRING};
        built.attributes[1] = {accountAttribute, SECRET_SCHEMA_ATTRIBUTE_STRING};
        return built;
    }();
    return &schema;
}

AttributesPtr attributesOf(const SecretItemName &name)
{
    const QByteArray service = name.service.toUtf8();
    const QByteArray account = name.account.toUtf8();
    return AttributesPtr(secret_attributes_build(itemSchema(), serviceAttribute, service.constData(),
                                                 accountAttribute, account.constData(), nullptr));
}

[[noreturn]] void throwKeyringError(GError *error, const char *operation)
{
    const std::unique_ptr<GError, decltype(&g_error_free)> owned(error, &g_error_free);
    throw SecretStoreError(classifyKeyringError(error->domain, error->code),
                           QStringLiteral("%1 failed (%2 %3): %4")
                               .arg(QLatin1String(operation), QLatin1String(g_quark_to_string(error->domain)),
                                    QString::number(error->code), QString::fromUtf8(error->message)));
}

// The connection is made in the caller's thread-default main context (the application's
// loop), so the service object libsecret keeps goes on receiving the bus's signals later.
GObjectPtr<SecretService> connectToService()
{
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    GError *error = nullptr;
    GObjectPtr<SecretService> service;
    {
        const CancelAfter deadline(cancellable.get(), serviceAnswerLimit);
        service.reset(secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, cancellable.get(), &error));
    }
    if (service)
        return service;
    if (g_cancellable_is_cancelled(cancellable.get())) {
        g_error_free(error);
        throw SecretStoreError(SecretFailure::noService,
                               QStringLiteral("no Secret Service answered within %1 ms")
                                   .arg(serviceAnswerLimit.count()));
    }
    throwKeyringError(error, "connecting to the Secret Service");
}

// Every item with this name, in any collection, unlocked ones first. Asking to unlock shows
// the keyring's prompt for items that are locked; a refused or dismissed prompt leaves them
// locked without an error, which `requireUnlocked` then reports.
ItemList findItems(SecretService *service, const SecretItemName &name, SecretSearchFlags extraFlags)
{
    const AttributesPtr attributes = attributesOf(name);
    GError *error = nullptr;
    ItemList items(secret_service_search_sync(service, itemSchema(), attributes.get(),
                                              SecretSearchFlags(SECRET_SEARCH_UNLOCK | extraFlags),
                                              nullptr, &error));
    if (error)
        throwKeyringError(error, "searching the keyring");
    return items;
}

// A locked item must never pass for a missing one: that would make a saved connection
// look forgotten, or let a removal report success while the item stays.
void requireUnlocked(const GList *items)
{
    for (const GList *each = items; each; each = each->next) {
        if (secret_item_get_locked(SECRET_ITEM(each->data)))
            throw SecretStoreError(SecretFailure::locked, QStringLiteral("the keyring holding the item stayed locked"));
    }
}

// The secret of an item whose secret was loaded.
QByteArray secretOf(SecretItem *item)
{
    const SecretValuePtr value(secret_item_get_secret(item));
    if (!value)
        throw SecretStoreError(SecretFailure::malformedItem, QStringLiteral("the item has no secret"));
    gsize length = 0;
    const gchar *bytes = secret_value_get(value.get(), &length);
    return QByteArray(bytes, static_cast<qsizetype>(length));
}

// Begins one of GLib's asynchronous calls with its cancellable, the callback and the
// callback's data.
using AsyncCall = std::function<void(GCancellable *, GAsyncReadyCallback, gpointer)>;
using AsyncResultPtr = GObjectPtr<GAsyncResult>;

// The result of `call`, awaited. GLib calls back on the application's main loop; the task
// resumes on a later turn. Cancelling the task cancels `cancellable`, and so the call; a
// callback that comes after the task is gone or cancelled is dropped.
runtime::Task<AsyncResultPtr> finished(GCancellable *cancellable, AsyncCall call)
{
    using Done = runtime::Completer<AsyncResultPtr>;
    co_return co_await runtime::ExternalWait<AsyncResultPtr>(
        [&](Done done) {
            call(
                cancellable,
                [](GObject *, GAsyncResult *result, gpointer data) {
                    const std::unique_ptr<Done> owned(static_cast<Done *>(data));
                    owned->resolve(AsyncResultPtr(G_ASYNC_RESULT(g_object_ref(result))));
                },
                new Done(std::move(done)));
        },
        [cancellable] { g_cancellable_cancel(cancellable); });
}

// connectToService() without blocking.
runtime::Task<GObjectPtr<SecretService>> serviceAnswering()
{
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    bool timedOut = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &deadline, [&] {
        timedOut = true;
        g_cancellable_cancel(cancellable.get());
    });
    deadline.start(serviceAnswerLimit);
    const AsyncResultPtr result =
        co_await finished(cancellable.get(), [](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
            secret_service_get(SECRET_SERVICE_OPEN_SESSION, cancel, done, data);
        });
    deadline.stop();
    GError *error = nullptr;
    GObjectPtr<SecretService> service(secret_service_get_finish(result.get(), &error));
    if (service)
        co_return service;
    if (timedOut) {
        g_error_free(error);
        throw SecretStoreError(SecretFailure::noService,
                               QStringLiteral("no Secret Service answered within %1 ms").arg(serviceAnswerLimit.count()));
    }
    throwKeyringError(error, "connecting to the Secret Service");
}

void deleteItem(SecretItem *item)
{
    GError *error = nullptr;
    if (!secret_item_delete_sync(item, nullptr, &error))
        throwKeyringError(error, "deleting an item");
}

// findItems() without blocking.
runtime::Task<ItemList> itemsFound(SecretService *service, const SecretItemName &name, SecretSearchFlags extraFlags,
                                   GCancellable *cancellable)
{
    const AttributesPtr attributes = attributesOf(name);
    const AsyncResultPtr searched =
        co_await finished(cancellable, [&](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
            secret_service_search(service, itemSchema(), attributes.get(),
                                  SecretSearchFlags(SECRET_SEARCH_UNLOCK | extraFlags), cancel, done, data);
        });
    GError *error = nullptr;
    ItemList items(secret_service_search_finish(service, searched.get(), &error));
    if (error)
        throwKeyringError(error, "searching the keyring");
    co_return items;
}

// deleteItem() without blocking.
runtime::Task<void> itemDeleted(SecretItem *item, GCancellable *cancellable)
{
    const AsyncResultPtr deleted =
        co_await finished(cancellable, [item](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
            secret_item_delete(item, cancel, done, data);
        });
    GError *error = nullptr;
    if (!secret_item_delete_finish(item, deleted.get(), &error))
        throwKeyringError(error, "deleting an item");
}

} // namespace

std::optional<QByteArray> LibsecretSecretStore::read(const SecretItemName &name)
{
    const GObjectPtr<SecretService> service = connectToService();
    const ItemList items = findItems(service.get(), name, SECRET_SEARCH_NONE);
    if (!items)
        return std::nullopt;
    requireUnlocked(items.get());

    SecretItem *item = SECRET_ITEM(items->data);
    GError *error = nullptr;
    if (!secret_item_load_secret_sync(item, nullptr, &error))
        throwKeyringError(error, "reading a secret");
    return secretOf(item);
}

runtime::Task<std::optional<QByteArray>> LibsecretSecretStore::readWithoutBlocking(SecretItemName name)
{
    const GObjectPtr<SecretService> service = co_await serviceAnswering();
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    const ItemList items = co_await itemsFound(service.get(), name, SECRET_SEARCH_NONE, cancellable.get());
    if (!items)
        co_return std::nullopt;
    requireUnlocked(items.get());

    SecretItem *item = SECRET_ITEM(items->data);
    const AsyncResultPtr loaded =
        co_await finished(cancellable.get(), [item](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
            secret_item_load_secret(item, cancel, done, data);
        });
    GError *error = nullptr;
    if (!secret_item_load_secret_finish(item, loaded.get(), &error))
        throwKeyringError(error, "reading a secret");
    co_return secretOf(item);
}

void LibsecretSecretStore::save(const SecretItemName &name, const QByteArray &secret)
{
    const GObjectPtr<SecretService> service = connectToService();
    const ItemList items = findItems(service.get(), name, SECRET_SEARCH_ALL);
    requireUnlocked(items.get());
    const SecretValuePtr value(secret_value_new(secret.constData(), secret.size(), secretContentType));
    GError *error = nullptr;

    if (!items) {
        const AttributesPtr attributes = attributesOf(name);
        const QByteArray label = QStringLiteral("vantora %1").arg(name.account).toUtf8();
        if (!secret_service_store_sync(service.get(), itemSchema(), attributes.get(), SECRET_COLLECTION_DEFAULT,
                                       label.constData(), value.get(), nullptr, &error))
            throwKeyringError(error, "adding an item");
        return;
    }

    // Replace in place, wherever the person keeps the item; any further copy (left by
    // another program or an older version) goes, so that reading cannot find a stale one.
    if (!secret_item_set_secret_sync(SECRET_ITEM(items->data), value.get(), nullptr, &error))
        throwKeyringError(error, "replacing a secret");
    for (const GList *extra = items->next; extra; extra = extra->next)
        deleteItem(SECRET_ITEM(extra->data));
}

SecretRemoval LibsecretSecretStore::remove(const SecretItemName &name)
{
    const GObjectPtr<SecretService> service = connectToService();
    const ItemList items = findItems(service.get(), name, SECRET_SEARCH_ALL);
    if (!items)
        return SecretRemoval::wasAbsent;
    requireUnlocked(items.get());
    for (const GList *each = items.get(); each; each = each->next)
        deleteItem(SECRET_ITEM(each->data));
    return SecretRemoval::removed;
}

runtime::Task<void> LibsecretSecretStore::saveWithoutBlocking(SecretItemName name, QByteArray secret)
{
    const GObjectPtr<SecretService> service = co_await serviceAnswering();
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    const ItemList items = co_await itemsFound(service.get(), name, SECRET_SEARCH_ALL, cancellable.get());
    requireUnlocked(items.get());
    const SecretValuePtr value(secret_value_new(secret.constData(), secret.size(), secretContentType));
    GError *error = nullptr;

    if (!items) {
        const AttributesPtr attributes = attributesOf(name);
        const QByteArray label = QStringLiteral("vantora %1").arg(name.account).toUtf8();
        const AsyncResultPtr stored =
            co_await finished(cancellable.get(), [&](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
                secret_service_store(service.get(), itemSchema(), attributes.get(), SECRET_COLLECTION_DEFAULT,
                                     label.constData(), value.get(), cancel, done, data);
            });
        if (!secret_service_store_finish(service.get(), stored.get(), &error))
            throwKeyringError(error, "adding an item");
        co_return;
    }

    // As save(): replaced in place, any further copy removed.
    SecretItem *first = SECRET_ITEM(items->data);
    const AsyncResultPtr replaced =
        co_await finished(cancellable.get(), [&](GCancellable *cancel, GAsyncReadyCallback done, gpointer data) {
            secret_item_set_secret(first, value.get(), cancel, done, data);
        });
    if (!secret_item_set_secret_finish(first, replaced.get(), &error))
        throwKeyringError(error, "replacing a secret");
    for (const GList *extra = items->next; extra; extra = extra->next)
        co_await itemDeleted(SECRET_ITEM(extra->data), cancellable.get());
}

runtime::Task<SecretRemoval> LibsecretSecretStore::removeWithoutBlocking(SecretItemName name)
{
    const GObjectPtr<SecretService> service = co_await serviceAnswering();
    const GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    const ItemList items = co_await itemsFound(service.get(), name, SECRET_SEARCH_ALL, cancellable.get());
    if (!items)
        co_return SecretRemoval::wasAbsent;
    requireUnlocked(items.get());
    for (const GList *each = items.get(); each; each = each->next)
        co_await itemDeleted(SECRET_ITEM(each->data), cancellable.get());
    co_return SecretRemoval::removed;
}

} // namespace vantora::platform
