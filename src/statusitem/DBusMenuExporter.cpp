#include "statusitem/DBusMenuExporter.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QMenu>
#include <QMetaObject>

#include <algorithm>
#include <functional>
#include <utility>

namespace vantora::statusitem {

// One entry of the menu and, as deep as asked, the entries under it: (ia{sv}av).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// An entry's properties: (ia{sv}).
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};

// Properties an entry no longer has: (ias).
struct DBusMenuItemKeys {
    int id = 0;
    QStringList properties;
};

// One of several events the host reports at once: (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

} // namespace vantora::statusitem

// QtDBus finds a method's argument types by the names its signature spells, and a list type
// is known only by its element's full name: every signature below names the types in full,
// or the host would not see the methods and signals that take lists of them.
Q_DECLARE_METATYPE(vantora::statusitem::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(vantora::statusitem::DBusMenuItem)
Q_DECLARE_METATYPE(vantora::statusitem::DBusMenuItemKeys)
Q_DECLARE_METATYPE(vantora::statusitem::DBusMenuEvent)

namespace vantora::statusitem {

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayoutItem &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DBusMenuLayoutItem &child : item.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayoutItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.beginArray();
    item.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        item.children.append(qdbus_cast<DBusMenuLayoutItem>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItem &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemKeys &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemKeys &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}

// The interface as the host sees it. Every call is answered: with the exporter's answer, or
// with an error for an entry the menu does not hold (any more) or a property no entry has, so
// that a host never waits out its call.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    DBusMenuAdaptor(DBusMenuExporter &exporter, QObject &object)
        : QDBusAbstractAdaptor(&object)
        , m_exporter(exporter)
    {
    }

    uint version() const { return 3; }
    QString textDirection() const
    {
        return m_exporter.m_menu.layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                   vantora::statusitem::DBusMenuLayoutItem &layout)
    {
        if (!m_exporter.holds(parentId)) {
            refuseEntry(parentId);
            return 0;
        }
        layout = m_exporter.layout(parentId, recursionDepth, propertyNames);
        return m_exporter.revision();
    }
    // No ids at all asks for every entry of the menu.
    QList<vantora::statusitem::DBusMenuItem> GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
    {
        QList<DBusMenuItem> items;
        for (const int id : ids.isEmpty() ? m_exporter.allIds() : ids) {
            if (m_exporter.holds(id))
                items.append({id, m_exporter.properties(id, propertyNames)});
        }
        return items;
    }
    QDBusVariant GetProperty(int id, const QString &name)
    {
        if (!m_exporter.holds(id)) {
            refuseEntry(id);
            return {};
        }
        if (!DBusMenuExporter::isProperty(name)) {
            m_exporter.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry has a property \"%1\"").arg(name));
            return {};
        }
        return QDBusVariant(m_exporter.entryProperty(id, name));
    }
    void Event(int id, const QString &eventId, const QDBusVariant &, uint)
    {
        if (!m_exporter.handleEvent(id, eventId))
            refuseEntry(id);
    }
    // Answers the ids it found no entry for; an error when it found none of them.
    QList<int> EventGroup(const QList<vantora::statusitem::DBusMenuEvent> &events)
    {
        QList<int> unknown;
        for (const DBusMenuEvent &event : events) {
            if (!m_exporter.handleEvent(event.id, event.eventId))
                unknown.append(event.id);
        }
        if (!events.isEmpty() && unknown.size() == events.size())
            refuseEntries(unknown);
        return unknown;
    }
    bool AboutToShow(int id)
    {
        if (!m_exporter.holds(id)) {
            refuseEntry(id);
            return false;
        }
        return m_exporter.aboutToShow(id);
    }
    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
    {
        QList<int> changed;
        for (const int id : ids) {
            if (!m_exporter.holds(id))
                idErrors.append(id);
            else if (m_exporter.aboutToShow(id))
                changed.append(id);
        }
        if (!ids.isEmpty() && idErrors.size() == ids.size())
            refuseEntries(idErrors);
        return changed;
    }

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<vantora::statusitem::DBusMenuItem> &updatedProps,
                                const QList<vantora::statusitem::DBusMenuItemKeys> &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    void refuseEntry(int id) { refuseEntries({id}); }
    void refuseEntries(const QList<int> &ids)
    {
        QStringList names;
        for (const int id : ids)
            names.append(QString::number(id));
        m_exporter.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("The menu has no entry %1").arg(names.join(QStringLiteral(", "))));
    }

    DBusMenuExporter &m_exporter;
};

namespace {

// The host marks the access key with an underscore, as the menu does with an ampersand.
QString hostLabel(const QString &text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('_')) {
            label += QStringLiteral("__");
        } else if (c == QLatin1Char('&') && i + 1 < text.size()) {
            // "&&" is an ampersand of the text itself.
            if (text.at(++i) != QLatin1Char('&'))
                label += QLatin1Char('_');
            label += text.at(i);
        } else {
            label += c;
        }
    }
    return label;
}

// An entry's key shortcut is left out: it works only in the application's windows, not in the
// host's menu, and a host without a place for it (waybar) complains of every one it is given.
QVariantMap actionProperties(const QAction &action)
{
    QVariantMap properties;
    if (!action.isVisible())
        properties.insert(QStringLiteral("visible"), false);
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), hostLabel(action.text()));
    if (!action.isEnabled())
        properties.insert(QStringLiteral("enabled"), false);
    if (action.isCheckable()) {
        const bool exclusive = action.actionGroup() && action.actionGroup()->isExclusive();
        properties.insert(QStringLiteral("toggle-type"), exclusive ? QStringLiteral("radio") : QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
    }
    if (QMenu::menuInAction(&action))
        properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    if (!action.icon().name().isEmpty())
        properties.insert(QStringLiteral("icon-name"), action.icon().name());
    return properties;
}

// What an entry that leaves a property out has of it.
const QVariantMap &propertyDefaults()
{
    static const QVariantMap defaults{
        {QStringLiteral("type"), QStringLiteral("standard")},
        {QStringLiteral("label"), QString()},
        {QStringLiteral("enabled"), true},
        {QStringLiteral("visible"), true},
        {QStringLiteral("icon-name"), QString()},
        {QStringLiteral("icon-data"), QByteArray()},
        {QStringLiteral("accessible-desc"), QString()},
        {QStringLiteral("shortcut"), QVariant::fromValue(QList<QStringList>())},
        {QStringLiteral("toggle-type"), QString()},
        {QStringLiteral("toggle-state"), -1},
        {QStringLiteral("children-display"), QString()},
        {QStringLiteral("disposition"), QStringLiteral("normal")},
    };
    return defaults;
}

bool holdsAction(const QMenu &menu, const QAction *action)
{
    const QList<QAction *> actions = menu.actions();
    return std::any_of(actions.cbegin(), actions.cend(), [action](const QAction *candidate) {
        const QMenu *submenu = QMenu::menuInAction(candidate);
        return candidate == action || (submenu && holdsAction(*submenu, action));
    });
}

QVariantMap only(QVariantMap properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    for (auto it = properties.begin(); it != properties.end();)
        it = names.contains(it.key()) ? std::next(it) : properties.erase(it);
    return properties;
}

} // namespace

DBusMenuExporter::DBusMenuExporter(QMenu &menu, QDBusConnection bus, const QString &path, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_path(path)
{
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<QList<DBusMenuItem>>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
    qDBusRegisterMetaType<QList<QStringList>>();
    new DBusMenuAdaptor(*this, *this);
    watch(&m_menu);
    // Not kept: the connection takes the object off the bus when it goes, and a reference
    // kept here would hold the connection open after its owner ended it.
    bus.registerObject(m_path, this, QDBusConnection::ExportAdaptors);
}

DBusMenuExporter::~DBusMenuExporter() = default;

int DBusMenuExporter::idOf(QAction *action)
{
    const auto found = m_ids.constFind(action);
    if (found != m_ids.constEnd())
        return *found;
    const int id = m_nextId++;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    // An id is never given again, so a host that still shows a removed entry cannot reach another.
    connect(action, &QObject::destroyed, this, [this, action, id] {
        m_ids.remove(action);
        m_actions.remove(id);
        m_announced.remove(id);
    });
    if (QMenu *submenu = QMenu::menuInAction(action))
        watch(submenu);
    return id;
}

QAction *DBusMenuExporter::actionOf(int id) const
{
    // A removed action may live on, and come back; meanwhile its entry is gone for the host.
    QAction *action = m_actions.value(id).data();
    return action && holdsAction(m_menu, action) ? action : nullptr;
}

bool DBusMenuExporter::holds(int id) const
{
    return id == 0 || actionOf(id);
}

QList<int> DBusMenuExporter::allIds()
{
    QList<int> ids{0};
    const std::function<void(const QMenu &)> add = [&](const QMenu &menu) {
        const QList<QAction *> actions = menu.actions();
        for (QAction *action : actions) {
            ids.append(idOf(action));
            if (const QMenu *submenu = QMenu::menuInAction(action))
                add(*submenu);
        }
    };
    add(m_menu);
    return ids;
}

bool DBusMenuExporter::isProperty(const QString &name)
{
    return propertyDefaults().contains(name);
}

QVariant DBusMenuExporter::entryProperty(int id, const QString &name)
{
    return properties(id, {name}).value(name, propertyDefaults().value(name));
}

QMenu *DBusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return &m_menu;
    const QAction *action = actionOf(id);
    return action ? QMenu::menuInAction(action) : nullptr;
}

void DBusMenuExporter::watch(QMenu *menu)
{
    menu->installEventFilter(this);
}

DBusMenuLayoutItem DBusMenuExporter::layout(int id, int depth, const QStringList &names)
{
    DBusMenuLayoutItem item{id, properties(id, names), {}};
    QMenu *menu = menuOf(id);
    if (!menu || depth == 0)
        return item;
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions)
        item.children.append(layout(idOf(action), depth < 0 ? -1 : depth - 1, names));
    return item;
}

QVariantMap DBusMenuExporter::properties(int id, const QStringList &names)
{
    if (id == 0)
        return only({{QStringLiteral("children-display"), QStringLiteral("submenu")}}, names);
    const QAction *action = actionOf(id);
    if (!action)
        return {};
    QVariantMap all = actionProperties(*action);
    m_announced.insert(id, all);
    return only(std::move(all), names);
}

bool DBusMenuExporter::handleEvent(int id, const QString &eventId)
{
    QMenu *menu = menuOf(id);
    QAction *action = actionOf(id);
    if (!menu && !action)
        return false;
    if (eventId == QLatin1String("clicked") && action && action->isEnabled() && !menu)
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    else if (eventId == QLatin1String("opened") && menu)
        aboutToShow(id);
    else if (eventId == QLatin1String("closed") && menu)
        Q_EMIT menu->aboutToHide();
    if (id == 0 && (eventId == QLatin1String("opened") || eventId == QLatin1String("closed")))
        Q_EMIT hostMenuShownChanged(eventId == QLatin1String("opened"));
    return true;
}

bool DBusMenuExporter::aboutToShow(int id)
{
    QMenu *menu = menuOf(id);
    if (!menu)
        return false;
    Q_EMIT menu->aboutToShow();
    // Changes not yet announced (such as those made just now) reach the host with the next
    // layout it asks for.
    return m_changeAnnounced || !m_changedEntries.isEmpty();
}

bool DBusMenuExporter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        layoutChanged();
        break;
    case QEvent::ActionChanged:
        entryChanged(static_cast<QActionEvent *>(event)->action());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenuExporter::layoutChanged()
{
    // Many changes in one turn (a menu being filled) make one announcement.
    if (m_changeAnnounced)
        return;
    m_changeAnnounced = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_changeAnnounced = false;
            ++m_revision;
            if (auto *adaptor = findChild<DBusMenuAdaptor *>())
                Q_EMIT adaptor->LayoutUpdated(m_revision, 0);
        },
        Qt::QueuedConnection);
}

void DBusMenuExporter::entryChanged(QAction *action)
{
    const int id = m_ids.value(action);
    // An entry no host has read yet reaches it with the layout.
    if (id == 0 || !m_announced.contains(id))
        return;
    const bool flushPending = !m_changedEntries.isEmpty();
    m_changedEntries.insert(id);
    if (flushPending)
        return;
    QMetaObject::invokeMethod(this, [this] { announceChangedEntries(); }, Qt::QueuedConnection);
}

void DBusMenuExporter::announceChangedEntries()
{
    QList<DBusMenuItem> updated;
    QList<DBusMenuItemKeys> removed;
    for (const int id : std::exchange(m_changedEntries, {})) {
        const QAction *action = actionOf(id);
        if (!action)
            continue;
        const QVariantMap now = actionProperties(*action);
        const QVariantMap before = m_announced.value(id);
        m_announced.insert(id, now);
        QVariantMap changed;
        for (auto it = now.constBegin(); it != now.constEnd(); ++it) {
            if (before.value(it.key()) != it.value())
                changed.insert(it.key(), it.value());
        }
        QStringList gone;
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (!now.contains(it.key()))
                gone.append(it.key());
        }
        if (!changed.isEmpty())
            updated.append({id, changed});
        if (!gone.isEmpty())
            removed.append({id, gone});
    }
    if (updated.isEmpty() && removed.isEmpty())
        return;
    if (auto *adaptor = findChild<DBusMenuAdaptor *>())
        Q_EMIT adaptor->ItemsPropertiesUpdated(updated, removed);
}

} // namespace vantora::statusitem

#include "DBusMenuExporter.moc"
