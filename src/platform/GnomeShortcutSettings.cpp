#include "platform/GnomeShortcutSettings.h"

#include <gio/gio.h>

#include <algorithm>

namespace vantora::platform {

namespace {

constexpr char applicationSchema[] = "org.gnome.settings-daemon.global-shortcuts.application";

// GSettings aborts the process on a malformed path; an application id is a D-Bus name.
bool isPathElement(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
               c == u'_' || c == u'-';
    });
}

} // namespace

void forgetGnomeShortcuts(const QString &applicationId, const std::set<QString> &ids)
{
    if (ids.empty() || !isPathElement(applicationId))
        return;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, applicationSchema, TRUE) : nullptr;
    if (!schema)
        return;
    const QByteArray path = "/org/gnome/settings-daemon/global-shortcuts/" + applicationId.toUtf8() + '/';
    GSettings *settings = g_settings_new_full(schema, nullptr, path.constData());
    g_settings_schema_unref(schema);

    GVariant *saved = g_settings_get_value(settings, "shortcuts");
    GVariantBuilder kept;
    g_variant_builder_init(&kept, G_VARIANT_TYPE("a(sa{sv})"));
    bool forgotten = false;
    GVariantIter entries;
    g_variant_iter_init(&entries, saved);
    while (GVariant *entry = g_variant_iter_next_value(&entries)) {
        const gchar *id = nullptr;
        g_variant_get_child(entry, 0, "&s", &id);
        if (ids.contains(QString::fromUtf8(id)))
            forgotten = true;
        else
            g_variant_builder_add_value(&kept, entry);
        g_variant_unref(entry);
    }
    g_variant_unref(saved);
    if (forgotten) {
        g_settings_set_value(settings, "shortcuts", g_variant_builder_end(&kept));
        g_settings_sync();
    } else {
        g_variant_builder_clear(&kept);
    }
    g_object_unref(settings);
}

} // namespace vantora::platform
