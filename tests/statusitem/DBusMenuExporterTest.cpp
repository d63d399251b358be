// A menu as a tray host reads and uses it over D-Bus, on the test's private session bus: the
// exporter on one connection, the host on another; and the tray item that offers it, as a
// host sees it leave.

#include "EventLoopTesting.h"

#include "statusitem/DBusMenuExporter.h"
#include "statusitem/StatusNotifierItem.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMenu>

#include <gtest/gtest.h>

#include <map>
#include <optional>

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
    // Key shortcuts work in the application's windows, not in the host's menu; some hosts
    // (waybar) complain of every one they are given.
    ASSERT_TRUE(entries.count(QStringLiteral("Refresh lights")));
    EXPECT_FALSE(entries.at(QStringLiteral("Refresh lights")).properties.contains(QStringLiteral("shortcut")));
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

// The host tells when it shows the menu and when it closed it ("opened" and "closed" for the
// menu itself); asking the menu to bring its entries up to date, or a submenu's opening, is no
// such word.
TEST_F(DBusMenuExporterTest, TheHostsShowingAndClosingOfTheMenuAreToldAsTheyCome)
{
    QMenu *lights = m_menu.addMenu(QStringLiteral("Lights"));
    lights->addAction(QStringLiteral("Bedside lamp"));
    const int lightsId = layout().at(QStringLiteral("Lights")).id;
    std::vector<bool> told;
    QObject::connect(m_exporter.get(), &DBusMenuExporter::hostMenuShownChanged, [&](bool shown) { told.push_back(shown); });
    const QVariant noData = QVariant::fromValue(QDBusVariant(0));
    const QString opened = QStringLiteral("opened"), closed = QStringLiteral("closed");
    const struct {
        const char *name;
        QString method;
        QVariantList arguments;
        std::vector<bool> told;
    } rows[] = {
        {"asked to bring its entries up to date", QStringLiteral("AboutToShow"), {0}, {}},
        {"the menu opened", QStringLiteral("Event"), {0, opened, noData, 0u}, {true}},
        {"a submenu opened", QStringLiteral("Event"), {lightsId, opened, noData, 0u}, {}},
        {"a submenu closed", QStringLiteral("Event"), {lightsId, closed, noData, 0u}, {}},
        {"the menu closed", QStringLiteral("Event"), {0, closed, noData, 0u}, {false}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        told.clear();
        const QDBusMessage reply = call(row.method, row.arguments);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_EQ(told, row.told);
    }
}

// What a reply says, as a host reads it: the value of a property, the ids of a layout's
// children or of a group's entries, the ids a group did not find, an answer; nothing for an
// event.
QVariant answerOf(const QString &method, const QDBusMessage &reply)
{
    const QVariantList arguments = reply.arguments();
    if (method == QLatin1String("GetProperty")) {
        const QVariant value = arguments.value(0).value<QDBusVariant>().variant();
        if (value.canConvert<QDBusArgument>())
            return QVariant::fromValue(readShortcut(value));
        return value;
    }
    if (method == QLatin1String("GetLayout")) {
        QList<int> children;
        for (const Entry &child : readEntry(arguments.value(1).value<QDBusArgument>()).children)
            children.append(child.id);
        return QVariant::fromValue(children);
    }
    if (method == QLatin1String("GetGroupProperties")) {
        QList<int> ids;
        const auto argument = arguments.value(0).value<QDBusArgument>();
        argument.beginArray();
        while (!argument.atEnd()) {
            QPair<int, QVariantMap> item;
            argument.beginStructure();
            argument >> item.first >> item.second;
            argument.endStructure();
            ids.append(item.first);
        }
        argument.endArray();
        return QVariant::fromValue(ids);
    }
    if (method == QLatin1String("EventGroup"))
        return QVariant::fromValue(qdbus_cast<QList<int>>(arguments.value(0)));
    if (method == QLatin1String("AboutToShowGroup"))
        return QVariant::fromValue(qdbus_cast<QList<int>>(arguments.value(1)));
    return arguments.value(0);
}

// Every call a host can make is answered, with a value or an error, never left to time out:
// for each kind of entry, for the menu itself, for an id the menu never gave, for an action
// taken out of the menu (still alive), and for properties an entry leaves out or no entry has.
TEST_F(DBusMenuExporterTest, EveryCallIsAnswered)
{
    // What Qt says meanwhile (it tells of a reply it could not send); heard until the test ends,
    // however it ends.
    static QStringList warnings;
    warnings.clear();
    struct Listening {
        QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg)
                warnings.append(text);
        });
        ~Listening() { qInstallMessageHandler(previous); }
    };
    auto listening = std::make_optional<Listening>();
    m_menu.addAction(QStringLiteral("Show vantora"));
    m_menu.addSeparator();
    m_menu.addAction(QStringLiteral("Reset connection…"))->setEnabled(false);
    QMenu *lights = m_menu.addMenu(QStringLiteral("Lights"));
    lights->addAction(QStringLiteral("Bedside lamp"));
    QAction removed(QStringLiteral("Refresh lights"));
    m_menu.addAction(&removed);
    const auto entries = layout();
    const auto id = [&](const char *label) { return entries.at(QString::fromUtf8(label)).id; };
    const int showId = id("Show vantora"), separatorId = id("separator"), resetId = id("Reset connection…"),
              lightsId = id("Lights"), lampId = id("Bedside lamp"), removedId = id("Refresh lights");
    m_menu.removeAction(&removed);
    const int unknownId = 999;
    const QString invalid = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
    const auto ids = [](QList<int> list) { return QVariant::fromValue(list); };
    const auto events = [](QList<int> list) {
        QList<HostEvent> group;
        for (const int entry : list)
            group.append(HostEvent{entry});
        return QVariant::fromValue(group);
    };
    qDBusRegisterMetaType<HostEvent>();
    qDBusRegisterMetaType<QList<HostEvent>>();
    const QVariant hovered = QStringLiteral("hovered");
    const QVariant noData = QVariant::fromValue(QDBusVariant(0));

    struct Row {
        const char *name;
        const char *method;
        QVariantList arguments;
        // The error's name; empty for a reply.
        QString error;
        // Compared with the reply's answer when given.
        QVariant answer;
    };
    const auto property = [](int entry, const char *name) { return QVariantList{entry, QString::fromLatin1(name)}; };
    const Row rows[] = {
        {"a label", "GetProperty", property(showId, "label"), {}, QStringLiteral("Show vantora")},
        {"visible, left out", "GetProperty", property(showId, "visible"), {}, true},
        {"enabled, left out", "GetProperty", property(showId, "enabled"), {}, true},
        {"enabled, false", "GetProperty", property(resetId, "enabled"), {}, false},
        {"a separator's label", "GetProperty", property(separatorId, "label"), {}, QString()},
        {"a separator's type", "GetProperty", property(separatorId, "type"), {}, QStringLiteral("separator")},
        {"type, left out", "GetProperty", property(showId, "type"), {}, QStringLiteral("standard")},
        {"toggle-type, left out", "GetProperty", property(showId, "toggle-type"), {}, QString()},
        {"toggle-state, left out", "GetProperty", property(showId, "toggle-state"), {}, -1},
        {"icon-name, left out", "GetProperty", property(showId, "icon-name"), {}, QString()},
        {"children-display, left out", "GetProperty", property(showId, "children-display"), {}, QString()},
        {"a submenu's children-display", "GetProperty", property(lightsId, "children-display"), {}, QStringLiteral("submenu")},
        {"the menu's children-display", "GetProperty", property(0, "children-display"), {}, QStringLiteral("submenu")},
        {"the menu's label", "GetProperty", property(0, "label"), {}, QString()},
        {"shortcut, left out", "GetProperty", property(showId, "shortcut"), {}, QVariant::fromValue(QList<QStringList>())},
        {"disposition, left out", "GetProperty", property(showId, "disposition"), {}, QStringLiteral("normal")},
        {"a property no entry has", "GetProperty", property(showId, "colour"), invalid, {}},
        {"the property of an unknown id", "GetProperty", property(unknownId, "label"), invalid, {}},
        {"the property of a removed action", "GetProperty", property(removedId, "label"), invalid, {}},
        {"the whole menu", "GetLayout", {0, -1, QStringList()}, {}, ids({showId, separatorId, resetId, lightsId})},
        {"a submenu", "GetLayout", {lightsId, 1, QStringList()}, {}, ids({lampId})},
        {"an entry without children", "GetLayout", {showId, -1, QStringList()}, {}, ids({})},
        {"the layout under an unknown id", "GetLayout", {unknownId, -1, QStringList()}, invalid, {}},
        {"the layout under a removed action", "GetLayout", {removedId, -1, QStringList()}, invalid, {}},
        {"known and unknown properties", "GetGroupProperties", {ids({showId, unknownId, removedId}), QStringList()}, {}, ids({showId})},
        {"no ids: every entry", "GetGroupProperties", {ids({}), QStringList{QStringLiteral("label")}}, {},
         ids({0, showId, separatorId, resetId, lightsId, lampId})},
        {"only unknown ids", "GetGroupProperties", {ids({unknownId}), QStringList()}, {}, ids({})},
        {"an event", "Event", {showId, hovered, noData, 0u}, {}, {}},
        {"an event of a submenu", "Event", {lightsId, QStringLiteral("opened"), noData, 0u}, {}, {}},
        {"an event of an unknown id", "Event", {unknownId, hovered, noData, 0u}, invalid, {}},
        {"an event of a removed action", "Event", {removedId, hovered, noData, 0u}, invalid, {}},
        {"a group with an unknown id", "EventGroup", {events({resetId, unknownId})}, {}, ids({unknownId})},
        {"a group of unknown ids only", "EventGroup", {events({unknownId, removedId})}, invalid, {}},
        {"the menu about to show", "AboutToShow", {0}, {}, {}},
        {"a submenu about to show", "AboutToShow", {lightsId}, {}, {}},
        {"an entry without children about to show", "AboutToShow", {showId}, {}, false},
        {"an unknown id about to show", "AboutToShow", {unknownId}, invalid, {}},
        {"a removed action about to show", "AboutToShow", {removedId}, invalid, {}},
        {"a group with an unknown id about to show", "AboutToShowGroup", {ids({0, lightsId, unknownId})}, {}, ids({unknownId})},
        {"a group of unknown ids about to show", "AboutToShowGroup", {ids({unknownId, removedId})}, invalid, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString method = QString::fromLatin1(row.method);
        const QDBusMessage reply = call(method, row.arguments);
        if (row.error.isEmpty()) {
            ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorName().toStdString() << ": "
                                                                << reply.errorMessage().toStdString();
            if (row.answer.isValid()) {
                EXPECT_EQ(answerOf(method, reply), row.answer);
            }
        } else {
            ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
            EXPECT_EQ(reply.errorName(), row.error) << reply.errorMessage().toStdString();
        }
    }
    listening.reset();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();

    // Put back, the action answers under its old id again.
    m_menu.addAction(&removed);
    const QDBusMessage back = call(QStringLiteral("GetProperty"), property(removedId, "label"));
    ASSERT_EQ(back.type(), QDBusMessage::ReplyMessage) << back.errorMessage().toStdString();
    EXPECT_EQ(answerOf(QStringLiteral("GetProperty"), back), QStringLiteral("Refresh lights"));
    m_menu.removeAction(&removed);
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

// A host withdraws an item when the item's connection ends, and may call the item's menu
// until then: when the item goes, its connection goes before its menu, so a host's call finds
// no item at all rather than an item without its menu.
TEST(StatusNotifierItemOnTheBus, LeavesTheBusBeforeItsMenu)
{
    QDBusConnection host = QDBusConnection::sessionBus();
    ASSERT_TRUE(host.isConnected()) << "no session bus: run through dbus-run-session";
    const QStringList before = host.interface()->registeredServiceNames().value();
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    auto item = std::make_unique<StatusNotifierItem>(
        StatusNotifierItem::Description{.id = QStringLiteral("vantora"), .title = QStringLiteral("vantora"), .toolTip = {}, .icon = {}},
        menu);
    QStringList added = host.interface()->registeredServiceNames().value();
    added.removeIf([&](const QString &name) { return before.contains(name); });
    ASSERT_EQ(added.size(), 1) << added.join(QLatin1Char(' ')).toStdString();
    const QString itemService = added.first();
    const auto readMenu = [&] {
        QDBusMessage message = QDBusMessage::createMethodCall(itemService, QStringLiteral("/StatusNotifierItem/Menu"),
                                                              QStringLiteral("com.canonical.dbusmenu"),
                                                              QStringLiteral("GetLayout"));
        message.setArguments({0, -1, QStringList()});
        return host.call(message, QDBus::BlockWithGui);
    };
    const QDBusMessage whileThere = readMenu();
    ASSERT_EQ(whileThere.type(), QDBusMessage::ReplyMessage) << whileThere.errorMessage().toStdString();

    item.reset();
    const QDBusMessage afterwards = readMenu();
    EXPECT_EQ(afterwards.type(), QDBusMessage::ErrorMessage);
    EXPECT_NE(afterwards.errorName(), QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"))
        << "the menu went while the item was still on the bus";
    EXPECT_TRUE(eventually([&] { return !host.interface()->isServiceRegistered(itemService).value(); }))
        << "the item stayed on the bus after it went";
}

} // namespace

#include "DBusMenuExporterTest.moc"
