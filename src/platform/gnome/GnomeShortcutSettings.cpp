#include "platform/gnome/GnomeShortcutSettings.h"

#include <QObject>
#include <QThread>

#include <gio/gio.h>

#include <algorithm>
#include <functional>

namespace vantora::platform {

namespace {

constexpr char applicationSchema[] = "org.gnome.settings-daemon.global-shortcuts.application";
constexpr char shortcutsKey[] = "shortcuts";
// Each entry: the shortcut's id and what GNOME saved for it (description, keys).
constexpr char shortcutsType[] = "a(sa{sv})";

// GSettings aborts the process on a malformed path; an application id is a D-Bus name.
bool isPathElement(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
               c == u'_' || c == u'-';
    });
}

// GSettings also aborts the process on a key its schema lacks, and the entries are read by
// their shape: another GNOME's schema is left alone unless it has the key, of this type.
bool holdsShortcuts(GSettingsSchema *schema)
{
    if (!g_settings_schema_has_key(schema, shortcutsKey))
        return false;
    GSettingsSchemaKey *key = g_settings_schema_get_key(schema, shortcutsKey);
    const bool holds = g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE(shortcutsType));
    g_settings_schema_key_unref(key);
    return holds;
}

// The shortcut id of one saved entry.
QString idOf(GVariant *entry)
{
    const gchar *id = nullptr;
    g_variant_get_child(entry, 0, "&s", &id);
    return QString::fromUtf8(id);
}

GVariant *takeForgotten(GVariant *saved, const std::set<QString> &ids)
{
    GVariantBuilder kept;
    g_variant_builder_init(&kept, G_VARIANT_TYPE(shortcutsType));
    bool forgotten = false;
    GVariantIter entries;
    g_variant_iter_init(&entries, saved);
    while (GVariant *entry = g_variant_iter_next_value(&entries)) {
        if (ids.contains(idOf(entry)))
            forgotten = true;
        else
            g_variant_builder_add_value(&kept, entry);
        g_variant_unref(entry);
    }
    if (forgotten)
        return g_variant_builder_end(&kept);
    g_variant_builder_clear(&kept);
    return nullptr;
}

// Calls `use` with the settings of `applicationId`'s saved shortcuts, where GNOME's schema
// for them is installed and of the shape read here.
void withApplicationSettings(const QString &applicationId, const std::function<void(GSettings *)> &use)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, applicationSchema, TRUE) : nullptr;
    if (!schema)
        return;
    if (holdsShortcuts(schema)) {
        const QByteArray path = "/org/gnome/settings-daemon/global-shortcuts/" + applicationId.toUtf8() + '/';
        GSettings *settings = g_settings_new_full(schema, nullptr, path.constData());
        use(settings);
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
}

void forgetNow(const QString &applicationId, const std::set<QString> &ids)
{
    withApplicationSettings(applicationId, [&ids](GSettings *settings) {
        GVariant *saved = g_settings_get_value(settings, shortcutsKey);
        if (GVariant *kept = takeForgotten(saved, ids)) {
            g_settings_set_value(settings, shortcutsKey, kept);
            g_settings_sync();
        }
        g_variant_unref(saved);
    });
}

bool isAnythingToForget(const QString &applicationId, const std::set<QString> &ids)
{
    return !ids.empty() && isPathElement(applicationId);
}

} // namespace

std::set<QString> gnomeSavedShortcuts(const QString &applicationId)
{
    std::set<QString> ids;
    if (!isPathElement(applicationId))
        return ids;
    withApplicationSettings(applicationId, [&ids](GSettings *settings) {
        GVariant *saved = g_settings_get_value(settings, shortcutsKey);
        GVariantIter entries;
        g_variant_iter_init(&entries, saved);
        while (GVariant *entry = g_variant_iter_next_value(&entries)) {
            ids.insert(idOf(entry));
            g_variant_unref(entry);
        }
        g_variant_unref(saved);
    });
    return ids;
}

void forgetGnomeShortcuts(const QString &applicationId, const std::set<QString> &ids, QObject *context,
                          std::function<void()> done)
{
    if (!isAnythingToForget(applicationId, ids)) {
        QMetaObject::invokeMethod(context, std::move(done), Qt::QueuedConnection);
        return;
    }
    QThread *writer = QThread::create([applicationId, ids] {
        // The settings object announces changes on the thread's own context, which nobody
        // runs: none reach the caller's thread after the writer has gone.
        GMainContext *own = g_main_context_new();
        g_main_context_push_thread_default(own);
        forgetNow(applicationId, ids);
        g_main_context_pop_thread_default(own);
        g_main_context_unref(own);
    });
    QObject::connect(writer, &QThread::finished, writer, &QObject::deleteLater);
    QObject::connect(writer, &QThread::finished, context, std::move(done));
    writer->start();
}

} // namespace vantora::platform
