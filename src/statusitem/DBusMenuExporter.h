#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariantMap>

class QAction;
class QMenu;

namespace vantora::statusitem {

class DBusMenuAdaptor;
struct DBusMenuLayoutItem;

// Offers a menu to a tray host over the com.canonical.dbusmenu interface, at `path` on `bus`.
// The host draws the menu itself from the entries' labels and states, and reports
// the entry the user chose, which then triggers its action here, on a later turn of the event
// loop (the host's call is answered first). Entries follow the menu as its actions change:
// the host hears of entries added or removed as a new layout, and of an entry's changes as
// that entry's new properties.
// Labels and everything else sent are the menu's own texts. Every call is answered, with an
// error for an entry the menu does not hold (an action taken out of it is unknown until it is
// put back) or a property no entry has. The object leaves the bus when it goes, and holds no
// reference to `bus`: whoever offers the menu can end the connection, and with it the host's
// view of the menu, while the menu still answers. Main thread only; the menu must outlive
// this object.
// The host's call being answered is known to the object the bus calls, not to its adaptor.
class DBusMenuExporter final : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    DBusMenuExporter(QMenu &menu, QDBusConnection bus, const QString &path, QObject *parent = nullptr);
    ~DBusMenuExporter() override;

    QString path() const { return m_path; }

Q_SIGNALS:
    // The host tells that it shows the menu (its "opened" event), or no longer does ("closed").
    void hostMenuShownChanged(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class DBusMenuAdaptor;

    uint revision() const noexcept { return m_revision; }
    DBusMenuLayoutItem layout(int id, int depth, const QStringList &names);
    // Whether the menu holds entry `id` now (0 is the menu itself).
    bool holds(int id) const;
    // The menu's own id and those of its entries, at every depth.
    QList<int> allIds();
    // Whether `name` is a property an entry can have.
    static bool isProperty(const QString &name);
    // What the host is told of a held entry: only those of `names` it has (all, when no names
    // are given), leaving out those at their default.
    QVariantMap properties(int id, const QStringList &names);
    // One property of a held entry, its default when the entry leaves it out.
    QVariant entryProperty(int id, const QString &name);
    // Hands the host's event for entry `id` to its action or menu; false when there is no such entry.
    bool handleEvent(int id, const QString &eventId);
    // Lets a menu that is about to be shown bring its entries up to date; whether they changed.
    bool aboutToShow(int id);

    int idOf(QAction *action);
    // The entry's action while the menu holds it, at any depth; null otherwise.
    QAction *actionOf(int id) const;
    QMenu *menuOf(int id) const;
    void watch(QMenu *menu);
    void layoutChanged();
    // A change of an entry's label or state reaches the host as the properties that
    // changed, several in one turn at once, without the host reading the whole menu again.
    void entryChanged(QAction *action);
    void announceChangedEntries();

    QMenu &m_menu;
    QString m_path;
    QHash<QAction *, int> m_ids;
    QHash<int, QPointer<QAction>> m_actions;
    // What the host was last given of each entry it has read.
    QHash<int, QVariantMap> m_announced;
    QSet<int> m_changedEntries;
    int m_nextId = 1;
    uint m_revision = 1;
    bool m_changeAnnounced = false;
};

} // namespace vantora::statusitem
