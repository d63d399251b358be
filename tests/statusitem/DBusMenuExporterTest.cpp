// A menu as a tray host reads and uses it over D-Bus, on the test's private session bus: the
// exporter on one connection, the host on another.

#include "EventLoopTesting.h"

#include "statusitem/DBusMenuExporter.h"

#include <QActionGroup>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMenu>

#include <gtest/gtest.h>

#include <map>

using namespace vantora::statusitem;

namespace {

const QString menuPath = QStringLiteral("/Menu");

bool eventually(const std::function<bool()> &done)
{
    return vantora::testing::waitForEvents(done, std::chrono::seconds(5));
}

struct Entry {
    int id = 0;
    QVariantMap properties;
    QList<Entry> children;
};

Entry readEntry(const QDBusArgument &argument)
{
    Entry entry;
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children.append(readEntry(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}

QList<QStringList> readShortcut(const QVariant &value)
{
    QList<QStringList> keys;
    const auto argument = value.value<QDBusArgument>();
    argument >> keys;
    return keys;
}

class LayoutWatch final : public QObject {
    Q_OBJECT
public:
    QList<uint> revisions;
public Q_SLOTS:
    void updated(uint revision, int) { revisions.append(revision); }
};

class DBusMenuExporterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.isConnected()) << "no session bus: run through dbus-run-session";
        m_exporter = std::make_unique<DBusMenuExporter>(m_menu, m_owner, menuPath);
    }

    QDBusMessage call(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(m_owner.baseService(), menuPath,
                                                              QStringLiteral("com.canonical.dbusmenu"), method);
        message.setArguments(arguments);
        return m_host.call(message, QDBus::BlockWithGui);
    }

    // The whole menu, by label (or type, for separators).
    std::map<QString, Entry> layout(uint *revision = nullptr)
    {
        const QDBusMessage reply = call(QStringLiteral("GetLayout"), {0, -1, QStringList()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        if (revision)
            *revision = reply.arguments().at(0).toUInt();
        std::map<QString, Entry> entries;
        const std::function<void(const Entry &)> add = [&](const Entry &entry) {
            for (const Entry &child : entry.children) {
                entries[child.properties.value(QStringLiteral("label"), child.properties.value(QStringLiteral("type")))
                            .toString()] = child;
                add(child);
            }
        };
        add(readEntry(reply.arguments().at(1).value<QDBusArgument>()));
        return entries;
    }

    QDBusConnection m_owner = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("menu-owner"));
    QDBusConnection m_host = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("menu-host"));
    QMenu m_menu;
    std::unique_ptr<DBusMenuExporter> m_exporter;
};

TEST_F(DBusMenuExporterTest, TheHostSeesEachEntryAsTheMenuShowsIt)
{
    m_menu.addAction(QStringLiteral("&About vantora"));
    m_menu.addAction(QStringLiteral("Save && quit_now"));
    m_menu.addSeparator();
    m_menu.addAction(QStringLiteral("Reset connection…"))->setEnabled(false);
    m_menu.addAction(QStringLiteral("Refresh lights"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+R")));
    auto *group = new QActionGroup(&m_menu);
    QAction *amber = m_menu.addAction(QStringLiteral("Amber"));
    amber->setCheckable(true);
    amber->setChecked(true);
    group->addAction(amber);
    QAction *hidden = m_menu.addAction(QStringLiteral("Hidden"));
    hidden->setCheckable(true);
    hidden->setVisible(false);
    m_menu.addMenu(QStringLiteral("Lights"))->addAction(QStringLiteral("Bedside lamp"));

    const auto entries = layout();
    struct Expected {
        const char *entry;
        const char *property;
        QVariant value;
    };
    const Expected expected[] = {
        {"_About vantora", "enabled", QVariant()},
        {"Save & quit__now", "enabled", QVariant()},
        {"separator", "label", QVariant()},
        {"Reset connection…", "enabled", false},
        {"Amber", "toggle-type", QStringLiteral("radio")},
        {"Amber", "toggle-state", 1},
        {"Hidden", "toggle-type", QStringLiteral("checkmark")},
        {"Hidden", "toggle-state", 0},
        {"Hidden", "visible", false},
        {"Lights", "children-display", QStringLiteral("submenu")},
        {"Bedside lamp", "enabled", QVariant()},
    };
    for (const Expected &row : expected) {
        SCOPED_TRACE(std::string(row.entry) + " " + row.property);
        const auto found = entries.find(QString::fromUtf8(row.entry));
        ASSERT_NE(found, entries.end());
        EXPECT_EQ(found->second.properties.value(QString::fromLatin1(row.property)), row.value);
    }
    ASSERT_TRUE(entries.count(QStringLiteral("Refresh lights")));
    EXPECT_EQ(readShortcut(entries.at(QStringLiteral("Refresh lights")).properties.value(QStringLiteral("shortcut"))),
              (QList<QStringList>{{QStringLiteral("Control"), QStringLiteral("Shift"), QStringLiteral("R")}}));
}

// A click the host reports runs the action once the host's call is answered, and never that
// of an entry the menu has disabled; a change of the menu tells the host to read it again.
TEST_F(DBusMenuExporterTest, ClicksRunTheActionAndChangesReachTheHost)
{
    QAction *refresh = m_menu.addAction(QStringLiteral("Refresh lights"));
    QAction *reset = m_menu.addAction(QStringLiteral("Reset connection…"));
    reset->setEnabled(false);
    int refreshes = 0, resets = 0;
    QObject::connect(refresh, &QAction::triggered, [&] { ++refreshes; });
    QObject::connect(reset, &QAction::triggered, [&] { ++resets; });
    uint revision = 0;
    const auto entries = layout(&revision);
    const auto click = [&](const QString &label) {
        return call(QStringLiteral("Event"), {entries.at(label).id, QStringLiteral("clicked"),
                                              QVariant::fromValue(QDBusVariant(0)), 0u});
    };
    EXPECT_EQ(click(QStringLiteral("Refresh lights")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(click(QStringLiteral("Reset connection…")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(eventually([&] { return refreshes == 1; }));
    EXPECT_EQ(resets, 0);

    LayoutWatch watch;
    ASSERT_TRUE(m_host.connect(m_owner.baseService(), menuPath, QStringLiteral("com.canonical.dbusmenu"),
                               QStringLiteral("LayoutUpdated"), &watch, SLOT(updated(uint, int))));
    reset->setEnabled(true);
    ASSERT_TRUE(eventually([&] { return !watch.revisions.isEmpty(); })) << "the host was not told";
    EXPECT_GT(watch.revisions.last(), revision);
    uint after = 0;
    const auto changed = layout(&after);
    EXPECT_EQ(after, watch.revisions.last());
    EXPECT_EQ(changed.at(QStringLiteral("Reset connection…")).properties.value(QStringLiteral("enabled")), QVariant());
}

} // namespace

#include "DBusMenuExporterTest.moc"
