#include "platform/gnome/GnomeShortcutSettings.h"

#include "EventLoopTesting.h"
#include "GnomeSettingsTesting.h"

#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gsettingsbackend.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

using namespace vantora::platform;
using namespace vantora::testing::gnome;

namespace {

constexpr char bothShortcuts[] =
    "[('showVantora', {'description': <'Show or hide app'>, 'shortcuts': <['<Control><Alt>j']>}),"
    " ('toggleHomeLights', {'description': <'Toggle all lights'>})]";

// Forgets as the portal session does, waiting on the event loop for the settings' own thread.
bool forget(const QString &applicationId, const std::set<QString> &ids)
{
    QObject context;
    bool done = false;
    forgetGnomeShortcuts(applicationId, ids, &context, [&done] { done = true; });
    return vantora::testing::waitForEvents([&done] { return done; }, std::chrono::seconds(10));
}

// A settings store that notes the thread each write comes from: the settings service's
// round trip may never end, and the GUI must not wait for it.
struct WriteNotingBackend {
    GSettingsBackend parent;
};
struct WriteNotingBackendClass {
    GSettingsBackendClass parent;
};
std::atomic<GThread *> s_writer = nullptr;
GVariant *s_stored = nullptr;

G_DEFINE_TYPE(WriteNotingBackend, write_noting_backend, G_TYPE_SETTINGS_BACKEND)

GVariant *readNoted(GSettingsBackend *, const gchar *, const GVariantType *, gboolean defaultValue)
{
    return !defaultValue && s_stored ? g_variant_ref(s_stored) : nullptr;
}

gboolean isWritable(GSettingsBackend *, const gchar *)
{
    return TRUE;
}

gboolean writeNoted(GSettingsBackend *, const gchar *, GVariant *value, gpointer)
{
    s_writer = g_thread_self();
    if (s_stored)
        g_variant_unref(s_stored);
    s_stored = g_variant_ref_sink(value);
    return TRUE;
}

void write_noting_backend_class_init(WriteNotingBackendClass *type)
{
    type->parent.read = readNoted;
    type->parent.get_writable = isWritable;
    type->parent.write = writeNoted;
}

void write_noting_backend_init(WriteNotingBackend *) {}

} // namespace

// GNOME's settings are written off the thread that asks: a settings service that never answers
// would otherwise hold up the program's windows.
TEST(GnomeShortcutSettingsDeathTest, WritesOffTheCallersThread)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir schemas;
            if (!useSchema(schemas))
                std::exit(2);
            // The store every GSettings of this process goes to.
            g_io_extension_point_register(G_SETTINGS_BACKEND_EXTENSION_POINT_NAME);
            g_io_extension_point_implement(G_SETTINGS_BACKEND_EXTENSION_POINT_NAME, write_noting_backend_get_type(),
                                           "write-noting", 1000);
            qputenv("GSETTINGS_BACKEND", "write-noting");
            s_stored = g_variant_ref_sink(g_variant_new_parsed(bothShortcuts));
            if (!forget(QStringLiteral("org.vantora.Vantora"), {QStringLiteral("showVantora")}) || !s_writer)
                std::exit(3);
            std::fprintf(stderr, "%s", s_writer == g_thread_self() ? "written on the caller's thread" : "written apart");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^written apart$");
}

// On a desktop whose settings hold the keys a person accepted, only the ids recorded anew are
// forgotten, only for this application, and what is left is what reads as saved; a malformed
// id touches and reads nothing (GSettings would abort).
TEST(GnomeShortcutSettings, ForgetsOnlyTheRecordedIdsOfThisApplication)
{
    QTemporaryDir schemas;
    if (!useSchema(schemas))
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
        // Either would make GSettings' path malformed, and GSettings abort.
        {"an empty application id", QString(), {QStringLiteral("showVantora")}, true, true},
        {"an application id with an empty element", QStringLiteral("a//b"), {QStringLiteral("showVantora")}, true, true},
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
        std::set<QString> kept;
        if (row.showKept)
            kept.insert(QStringLiteral("showVantora"));
        if (row.toggleKept)
            kept.insert(QStringLiteral("toggleHomeLights"));
        EXPECT_EQ(gnomeSavedShortcuts(QStringLiteral("org.vantora.Vantora")), kept) << row.name;
    }
    EXPECT_EQ(gnomeSavedShortcuts(QStringLiteral("org.example.Other")), std::set<QString>{QStringLiteral("showVantora")});
    for (const QString &malformed : {QStringLiteral("org/vantora"), QString(), QStringLiteral("a//b")})
        EXPECT_TRUE(gnomeSavedShortcuts(malformed).empty()) << malformed.toStdString();
}

// A GNOME whose schema has no saved shortcuts, or keeps them in another shape, is left alone,
// reads as having saved nothing, and the app goes on. Each schema is read in a process of its own (GSettings reads them once).
TEST(GnomeShortcutSettingsDeathTest, LeavesSettingsOfAnotherShapeAloneAndGoesOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char *name;
        const char *keys;
        const char *savedBefore; // nullptr: the schema has no `shortcuts` to save
        const char *afterwards;
    } rows[] = {
        {"GNOME 48's shape", schemaKeys, bothShortcuts, "^done, 1 saved: \\[\\('toggleHomeLights'"},
        {"no key for the saved shortcuts", R"xml(<key name="enabled" type="b"><default>true</default></key>)xml",
         nullptr, "^done, 0 saved$"},
        {"the shortcuts as a list of ids", R"xml(<key name="shortcuts" type="as"><default>[]</default></key>)xml",
         "['showVantora', 'toggleHomeLights']", "^done, 0 saved: \\['showVantora', 'toggleHomeLights'\\]$"},
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
                std::fprintf(stderr, "done, %zu saved%s", gnomeSavedShortcuts(QStringLiteral("org.vantora.Vantora")).size(),
                             qPrintable(after));
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), row.afterwards)
            << row.name;
    }
}
