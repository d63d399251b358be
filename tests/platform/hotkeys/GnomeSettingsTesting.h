#pragma once

// GNOME's saved global shortcuts for tests: a schema of GNOME's id compiled into a folder of
// the test's own and read from memory, so that no test touches the settings of the person
// running it.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gio/gio.h>

namespace vantora::testing::gnome {

inline constexpr char schemaId[] = "org.gnome.settings-daemon.global-shortcuts.application";

// The shape of GNOME 48's saved global shortcuts: a relocatable schema, one path per application.
inline constexpr char schemaKeys[] = R"xml(<key name="shortcuts" type="a(sa{sv})"><default>[]</default></key>)xml";

// Compiles a schema of GNOME's id with `keys` into `folder` and makes it the one GSettings
// reads, in memory. GSettings reads its schemas once per process: call this before anything
// asks for one.
inline bool useSchema(const QTemporaryDir &folder, const char *keys = schemaKeys)
{
    const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
    QFile xml(folder.filePath(QStringLiteral("global-shortcuts.gschema.xml")));
    if (compiler.isEmpty() || !xml.open(QIODevice::WriteOnly))
        return false;
    xml.write(QByteArray("<schemalist><schema id=\"") + schemaId + "\">" + keys + "</schema></schemalist>\n");
    xml.close();
    if (QProcess::execute(compiler, {folder.path()}) != 0)
        return false;
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(folder.path()));
    qputenv("GSETTINGS_BACKEND", "memory");
    return true;
}

inline GSettings *applicationSettings(const char *applicationId)
{
    GSettingsSchema *schema = g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
    const QByteArray path = QByteArray("/org/gnome/settings-daemon/global-shortcuts/") + applicationId + '/';
    GSettings *settings = g_settings_new_full(schema, nullptr, path.constData());
    g_settings_schema_unref(schema);
    return settings;
}

// Saves `shortcuts` (GVariant text) as GNOME's for `applicationId`.
inline void save(const char *applicationId, const char *shortcuts)
{
    GSettings *settings = applicationSettings(applicationId);
    g_settings_set_value(settings, "shortcuts", g_variant_new_parsed(shortcuts));
    g_object_unref(settings);
}

// What GNOME saved for `applicationId`, as GVariant text.
inline QString saved(const char *applicationId)
{
    GSettings *settings = applicationSettings(applicationId);
    GVariant *value = g_settings_get_value(settings, "shortcuts");
    gchar *text = g_variant_print(value, FALSE);
    const QString result = QString::fromUtf8(text);
    g_free(text);
    g_variant_unref(value);
    g_object_unref(settings);
    return result;
}

} // namespace vantora::testing::gnome
