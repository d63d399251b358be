#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

class QMenu;

namespace vantora::statusitem {

class DBusMenuExporter;

// The application's tray item for hosts that show items over D-Bus (org.kde.StatusNotifierItem,
// with its menu as com.canonical.dbusmenu). The item lives on the bus for the whole run and
// offers itself to every StatusNotifierWatcher that appears, at the start or later, again
// after a watcher restarts. Unlike a toolkit's tray icon, it tells where the host says the
// icon was clicked. Main thread only; the menu must outlive this object.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
public:
    struct Icon {
        // A name in the icon theme, for hosts that draw it themselves (and tint it for their
        // bar); empty when the theme has none.
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

    StatusNotifierItem(Description description, QMenu &menu, QDBusConnection bus = QDBusConnection::sessionBus(),
                       QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    const Description &description() const noexcept { return m_description; }

Q_SIGNALS:
    // The user clicked the item; `at` is the point on the screen the host names (it may be the
    // icon, or where the host's own pointer was, which the X server may not know).
    void activated(QPoint at);

private:
    friend class StatusNotifierItemAdaptor;

    void offerToWatcher();
    void showMenu(QPoint at);

    Description m_description;
    QMenu &m_menu;
    QDBusConnection m_bus;
    std::unique_ptr<DBusMenuExporter> m_menuExporter;
};

} // namespace vantora::statusitem
