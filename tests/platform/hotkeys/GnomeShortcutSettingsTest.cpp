#include "platform/GnomeShortcutSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gio/gio.h>
#include <gtest/gtest.h>

using namespace vantora::platform;

namespace {

// The shape of GNOME's saved global shortcuts: a relocatable schema, one path per application.
constexpr char schemaXml[] = R"xml(<schemalist>
  <schema id="org.gnome.settings-daemon.global-shortcuts.application">
    <key name="shortcuts" type="a(sa{sv})"><default>[]</default></key>
  </schema>
</schemalist>
)xml";

GSettings *applicationSettings(const char *applicationId)
{
    GSettingsSchema *schema = g_settings_schema_source_lookup(
        g_settings_schema_source_get_default(), "org.gnome.settings-daemon.global-shortcuts.application", TRUE);
    const QByteArray path = QByteArray("/org/gnome/settings-daemon/global-shortcuts/") + applicationId + '/';
    GSettings *settings = g_settings_new_full(schema, nullptr, path.constData());
    g_settings_schema_unref(schema);
    return settings;
}

void save(const char *applicationId, const char *shortcuts)
{
    GSettings *settings = applicationSettings(applicationId);
    g_settings_set_value(settings, "shortcuts", g_variant_new_parsed(shortcuts));
    g_object_unref(settings);
}

QString saved(const char *applicationId)
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

} // namespace

// On a desktop whose settings hold the keys a person accepted, only the ids recorded anew are
// forgotten, only for this application; a malformed id touches nothing (GSettings would abort).
TEST(GnomeShortcutSettings, ForgetsOnlyTheRecordedIdsOfThisApplication)
{
    const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
    if (compiler.isEmpty())
        GTEST_SKIP() << "SKIP: glib-compile-schemas is not installed";
    QTemporaryDir schemas;
    QFile xml(schemas.filePath(QStringLiteral("global-shortcuts.gschema.xml")));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly) && xml.write(schemaXml) > 0);
    xml.close();
    ASSERT_EQ(QProcess::execute(compiler, {schemas.path()}), 0);
    // Read once per process: set before anything here asks for a schema.
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas.path()));
    qputenv("GSETTINGS_BACKEND", "memory");

    const char *both = "[('showVantora', {'description': <'Show or hide app'>, 'shortcuts': <['<Control><Alt>j']>}),"
                       " ('toggleHomeLights', {'description': <'Toggle all lights'>})]";
    save("org.vantora.Vantora", both);
    save("org.example.Other", "[('showVantora', {'description': <'Another program'>})]");
    const QString other = saved("org.example.Other");

    const struct {
        const char *name;
        QString applicationId;
        std::set<QString> ids;
        bool showKept;
        bool toggleKept;
    } rows[] = {
        {"nothing recorded", QStringLiteral("org.vantora.Vantora"), {}, true, true},
        {"an id the desktop never saved", QStringLiteral("org.vantora.Vantora"), {QStringLiteral("unknown")}, true, true},
        {"a malformed application id", QStringLiteral("org/vantora"), {QStringLiteral("showVantora")}, true, true},
        {"one action recorded anew", QStringLiteral("org.vantora.Vantora"), {QStringLiteral("showVantora")}, false, true},
        {"both recorded anew", QStringLiteral("org.vantora.Vantora"),
         {QStringLiteral("showVantora"), QStringLiteral("toggleHomeLights")}, false, false},
    };
    for (const auto &row : rows) {
        save("org.vantora.Vantora", both);
        forgetGnomeShortcuts(row.applicationId, row.ids);
        const QString now = saved("org.vantora.Vantora");
        EXPECT_EQ(now.contains(QStringLiteral("'showVantora'")), row.showKept) << row.name << ": " << now.toStdString();
        EXPECT_EQ(now.contains(QStringLiteral("'toggleHomeLights'")), row.toggleKept)
            << row.name << ": " << now.toStdString();
        EXPECT_EQ(saved("org.example.Other"), other) << row.name << ": another application's shortcuts changed";
    }
}
