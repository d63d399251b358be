#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>

class QDBusServiceWatcher;
class QMenu;

namespace vantora::statusitem {

class DBusMenuExporter;
class StatusNotifierItemAdaptor;

// The application's tray item for hosts that show items over D-Bus (org.kde.StatusNotifierItem,
// with its menu as com.canonical.dbusmenu). The item lives on the bus for the whole run and
// offers itself to every StatusNotifierWatcher that appears, at the start or later, again
// after a watcher restarts. Unlike a toolkit's tray icon, it tells where the host says the
// icon was clicked. It has a connection to `bus` of its own, which ends with it: hosts
// withdraw an item when its connection goes, and until then may call its menu, which is
// therefore taken off the bus only after that. Main thread only; the menu must outlive this
// object.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
public:
    struct Icon {
        // A symbolic icon's name in the icon theme, for hosts that draw it themselves and tint
        // it for their bar; empty when the theme has none. Offered only to hosts known to
        // tint it (others would draw it in its own colour, which may vanish on their bar);
        // the rest get the pixmaps.
        QString name;
        // A folder to look the name up in besides the desktop's own.
        QString themePath;
        // The same image at several sizes, for hosts that take pixels.
        QList<QImage> pixmaps;
    };
    struct Description {
        // Stays the same from run to run: hosts keep the user's choices for the item by it.
        QString id;
        QString title;
        QString toolTip;
        Icon icon;
    };

    StatusNotifierItem(Description description, QMenu &menu,
                       QDBusConnection::BusType bus = QDBusConnection::SessionBus, QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    const Description &description() const noexcept { return m_description; }

Q_SIGNALS:
    // The user clicked the item; `at` is the point on the screen the host names (it may be the
    // icon, or where the host's own pointer was, which the X server may not know). A token
    // the host gave for this activation is in XDG_ACTIVATION_TOKEN while the receivers run,
    // where a Wayland window's activation takes it, and is gone from there afterwards.
    void activated(QPoint at);
    // The host tells that it shows the item's menu, or no longer does.
    void menuShownChanged(bool shown);

private:
    friend class StatusNotifierItemAdaptor;

    void offerToWatcher(const QString &watcher);
    void showMenu(QPoint at);
    void activate(QPoint at);
    bool offersIconName() const { return m_hostTintsIcons && !m_description.icon.name.isEmpty(); }

    StatusNotifierItemAdaptor *m_adaptor = nullptr;
    bool m_hostTintsIcons = false;
    // The host's token for the activation it is about to ask for.
    QString m_activationToken;

    Description m_description;
    QMenu &m_menu;
    std::unique_ptr<DBusMenuExporter> m_menuExporter;
    // Every holder of the connection, ended before the menu goes.
    std::optional<QDBusConnection> m_bus;
    std::unique_ptr<QDBusServiceWatcher> m_watcherWatch;
};

} // namespace vantora::statusitem
