// A menu as a tray host reads and uses it over D-Bus, on the test's private session bus: the
// exporter on one connection, the host on another.

#include "EventLoopTesting.h"

#include "statusitem/DBusMenuExporter.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
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

// One event of a group, as a host sends it: (isvu), an entry's id, the event, its data, a time.
struct HostEvent {
    int id = 0;
};

QDBusArgument &operator<<(QDBusArgument &argument, const HostEvent &event)
{
    argument.beginStructure();
    argument << event.id << QStringLiteral("clicked") << QDBusVariant(0) << 0u;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, HostEvent &)
{
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(HostEvent)

namespace {

using ChangedEntries = QList<QPair<int, QVariantMap>>;
using RemovedProperties = QList<QPair<int, QStringList>>;

// The menu's announcements as a host hears them.
class MenuWatch final : public QObject {
    Q_OBJECT
public:
    QList<uint> revisions;
    QList<ChangedEntries> updated;
    QList<RemovedProperties> removed;
public Q_SLOTS:
    void layoutUpdated(uint revision, int) { revisions.append(revision); }
    void propertiesUpdated(const QDBusMessage &message)
    {
        ChangedEntries changed;
        const auto changedArgument = message.arguments().value(0).value<QDBusArgument>();
        changedArgument.beginArray();
        while (!changedArgument.atEnd()) {
            QPair<int, QVariantMap> entry;
            changedArgument.beginStructure();
            changedArgument >> entry.first >> entry.second;
            changedArgument.endStructure();
            changed.append(entry);
        }
        changedArgument.endArray();
        RemovedProperties gone;
        const auto goneArgument = message.arguments().value(1).value<QDBusArgument>();
        goneArgument.beginArray();
        while (!goneArgument.atEnd()) {
            QPair<int, QStringList> entry;
            goneArgument.beginStructure();
            goneArgument >> entry.first >> entry.second;
            goneArgument.endStructure();
            gone.append(entry);
        }
        goneArgument.endArray();
        updated.append(changed);
        removed.append(gone);
    }
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

// A click the host reports, alone or in a group of events, runs the action once the host's
// call is answered, and never that of an entry the menu has disabled; an entry that changes
// reaches the host as its changed properties, an entry added as a new layout.
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

    qDBusRegisterMetaType<HostEvent>();
    qDBusRegisterMetaType<QList<HostEvent>>();
    const QList<HostEvent> events{{entries.at(QStringLiteral("Refresh lights")).id}, {9999}};
    const QDBusMessage group = call(QStringLiteral("EventGroup"), {QVariant::fromValue(events)});
    ASSERT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
    EXPECT_EQ(qdbus_cast<QList<int>>(group.arguments().value(0)), QList<int>{9999});
    EXPECT_TRUE(eventually([&] { return refreshes == 2; }));

    MenuWatch watch;
    const auto listen = [&](const char *signal, const char *slot) {
        return m_host.connect(m_owner.baseService(), menuPath, QStringLiteral("com.canonical.dbusmenu"),
                              QString::fromLatin1(signal), &watch, slot);
    };
    ASSERT_TRUE(listen("LayoutUpdated", SLOT(layoutUpdated(uint, int))));
    ASSERT_TRUE(listen("ItemsPropertiesUpdated", SLOT(propertiesUpdated(QDBusMessage))));
    reset->setEnabled(true);
    reset->setText(QStringLiteral("Reset the connection…"));
    ASSERT_TRUE(eventually([&] { return !watch.updated.isEmpty(); })) << "the host was not told";
    ASSERT_EQ(watch.updated.size(), 1) << "two changes in one turn made more than one announcement";
    const int resetId = entries.at(QStringLiteral("Reset connection…")).id;
    EXPECT_EQ(watch.updated.first(), (ChangedEntries{{resetId, {{QStringLiteral("label"), QStringLiteral("Reset the connection…")}}}}));
    EXPECT_EQ(watch.removed.first(), (RemovedProperties{{resetId, {QStringLiteral("enabled")}}}));
    EXPECT_TRUE(watch.revisions.isEmpty()) << "a changed entry made the host read the whole menu";

    m_menu.addAction(QStringLiteral("Quit"));
    ASSERT_TRUE(eventually([&] { return !watch.revisions.isEmpty(); })) << "the host was not told of the new entry";
    EXPECT_GT(watch.revisions.last(), revision);
    uint after = 0;
    const auto changed = layout(&after);
    EXPECT_EQ(after, watch.revisions.last());
    EXPECT_TRUE(changed.count(QStringLiteral("Quit")));
    EXPECT_EQ(changed.at(QStringLiteral("Reset the connection…")).properties.value(QStringLiteral("enabled")), QVariant());
}

// An entry the menu changes as it opens (an action's state brought up to date) makes the
// host read the menu again before it shows it.
TEST_F(DBusMenuExporterTest, AnEntryChangedAsTheMenuOpensIsReadAgain)
{
    QAction *reset = m_menu.addAction(QStringLiteral("Reset connection…"));
    reset->setEnabled(false);
    QObject::connect(&m_menu, &QMenu::aboutToShow, [&] { reset->setEnabled(true); });
    layout();
    QCoreApplication::processEvents();
    const QDBusMessage opening = call(QStringLiteral("AboutToShow"), {0});
    ASSERT_EQ(opening.type(), QDBusMessage::ReplyMessage) << opening.errorMessage().toStdString();
    EXPECT_TRUE(opening.arguments().value(0).toBool()) << "the host was not asked to read the menu again";
    EXPECT_EQ(layout().at(QStringLiteral("Reset connection…")).properties.value(QStringLiteral("enabled")), QVariant());
}

// Every member of the interface is there for a host that reads the object's description, and
// Qt has nothing to say about any of them (it leaves out, with a warning, a member whose
// argument types it cannot name).
TEST(DBusMenuInterface, OffersEveryMember)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            warnings.append(text);
    });
    QMenu menu;
    QDBusConnection owner = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("menu-owner"));
    DBusMenuExporter exporter(menu, owner, menuPath);
    QDBusMessage introspect = QDBusMessage::createMethodCall(owner.baseService(), menuPath,
                                                             QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                             QStringLiteral("Introspect"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(introspect, QDBus::BlockWithGui);
    qInstallMessageHandler(previous);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const QString description = reply.arguments().value(0).toString();
    const char *members[] = {
        R"m(<method name="GetLayout">)m", R"m(<method name="GetGroupProperties">)m", R"m(<method name="GetProperty">)m",
        R"m(<method name="Event">)m", R"m(<method name="EventGroup">)m", R"m(<method name="AboutToShow">)m",
        R"m(<method name="AboutToShowGroup">)m", R"m(<signal name="ItemsPropertiesUpdated">)m",
        R"m(<signal name="LayoutUpdated">)m", R"m(<signal name="ItemActivationRequested">)m",
        R"m(<property name="Version" type="u" access="read"/>)m", R"m(<property name="TextDirection" type="s" access="read"/>)m",
        R"m(<property name="Status" type="s" access="read"/>)m", R"m(<property name="IconThemePath" type="as" access="read"/>)m",
        R"m(<arg name="events" type="a(isvu)" direction="in"/>)m", R"m(<arg name="updatedProps" type="a(ia{sv})" direction="out"/>)m",
        R"m(<arg name="removedProps" type="a(ias)" direction="out"/>)m",
    };
    for (const char *member : members)
        EXPECT_TRUE(description.contains(QString::fromLatin1(member))) << member << " is missing from\n" << description.toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    QDBusConnection::disconnectFromBus(QStringLiteral("menu-owner"));
}

} // namespace

#include "DBusMenuExporterTest.moc"
