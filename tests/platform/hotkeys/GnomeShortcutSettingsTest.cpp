#include "platform/GnomeShortcutSettings.h"

#include "EventLoopTesting.h"

#include <QFile>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace vantora::platform;

namespace {

constexpr char schemaId[] = "org.gnome.settings-daemon.global-shortcuts.application";

// The shape of GNOME's saved global shortcuts: a relocatable schema, one path per application.
constexpr char gnomeSchemaKeys[] = R"xml(<key name="shortcuts" type="a(sa{sv})"><default>[]</default></key>)xml";

constexpr char bothShortcuts[] =
    "[('showVantora', {'description': <'Show or hide app'>, 'shortcuts': <['<Control><Alt>j']>}),"
    " ('toggleHomeLights', {'description': <'Toggle all lights'>})]";

// Compiles a schema of GNOME's id with `keys` into a folder of its own and makes it the one
// GSettings reads, in memory. GSettings reads its schemas once per process: call this before
// anything asks for one.
bool useSchema(const QTemporaryDir &folder, const char *keys)
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

GSettings *applicationSettings(const char *applicationId)
{
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
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

// Forgets as the portal session does, waiting on the event loop for the settings' own thread.
bool forget(const QString &applicationId, const std::set<QString> &ids)
{
    QObject context;
    bool done = false;
    forgetGnomeShortcuts(applicationId, ids, &context, [&done] { done = true; });
    return vantora::testing::waitForEvents([&done] { return done; }, std::chrono::seconds(10));
}

} // namespace

// On a desktop whose settings hold the keys a person accepted, only the ids recorded anew are
// forgotten, only for this application; a malformed id touches nothing (GSettings would abort).
TEST(GnomeShortcutSettings, ForgetsOnlyTheRecordedIdsOfThisApplication)
{
    QTemporaryDir schemas;
    if (!useSchema(schemas, gnomeSchemaKeys))
        GTEST_SKIP() << "SKIP: glib-compile-schemas is not installed or failed";

    save("org.vantora.Vantora", bothShortcuts);
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
        save("org.vantora.Vantora", bothShortcuts);
        ASSERT_TRUE(forget(row.applicationId, row.ids)) << row.name << ": never done";
        const QString now = saved("org.vantora.Vantora");
        EXPECT_EQ(now.contains(QStringLiteral("'showVantora'")), row.showKept) << row.name << ": " << now.toStdString();
        EXPECT_EQ(now.contains(QStringLiteral("'toggleHomeLights'")), row.toggleKept)
            << row.name << ": " << now.toStdString();
        EXPECT_EQ(saved("org.example.Other"), other) << row.name << ": another application's shortcuts changed";
    }
}

// A GNOME whose schema has no saved shortcuts, or keeps them in another shape, is left alone,
// and the app goes on. Each schema is read in a process of its own (GSettings reads them once).
TEST(GnomeShortcutSettingsDeathTest, LeavesSettingsOfAnotherShapeAloneAndGoesOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char *name;
        const char *keys;
        const char *savedBefore; // nullptr: the schema has no `shortcuts` to save
        const char *afterwards;
    } rows[] = {
        {"GNOME 48's shape", gnomeSchemaKeys, bothShortcuts, "^done: \\[\\('toggleHomeLights'"},
        {"no key for the saved shortcuts", R"xml(<key name="enabled" type="b"><default>true</default></key>)xml",
         nullptr, "^done$"},
        {"the shortcuts as a list of ids", R"xml(<key name="shortcuts" type="as"><default>[]</default></key>)xml",
         "['showVantora', 'toggleHomeLights']", "^done: \\['showVantora', 'toggleHomeLights'\\]$"},
    };
    for (const auto &row : rows) {
        EXPECT_EXIT(
            {
                QTemporaryDir schemas;
                if (!useSchema(schemas, row.keys))
                    std::exit(2);
                if (row.savedBefore)
                    save("org.vantora.Vantora", row.savedBefore);
                if (!forget(QStringLiteral("org.vantora.Vantora"), {QStringLiteral("showVantora")}))
                    std::exit(3);
                const QString after = row.savedBefore ? QStringLiteral(": ") + saved("org.vantora.Vantora") : QString();
                std::fprintf(stderr, "done%s", qPrintable(after));
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), row.afterwards)
            << row.name;
    }
}
