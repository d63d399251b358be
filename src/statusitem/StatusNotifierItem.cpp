#include "statusitem/StatusNotifierItem.h"

#include "statusitem/DBusMenuExporter.h"
#include "statusitem/TrayHostTint.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace vantora::statusitem {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/StatusNotifierItem/Menu");

} // namespace

// One image: (iiay), its pixels ARGB32 in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using IconPixmaps = QList<IconPixmap>;

// (sa(iiay)ss): an icon name, its pixels, a title and a text under it.
struct ToolTip {
    QString iconName;
    IconPixmaps pixmaps;
    QString title;
    QString text;
};

} // namespace vantora::statusitem

Q_DECLARE_METATYPE(vantora::statusitem::IconPixmap)
Q_DECLARE_METATYPE(vantora::statusitem::ToolTip)

namespace vantora::statusitem {

QDBusArgument &operator<<(QDBusArgument &argument, const IconPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.argb;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, IconPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.argb;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const ToolTip &toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ToolTip &toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}

namespace {

IconPixmaps iconPixmaps(const QList<QImage> &images)
{
    IconPixmaps pixmaps;
    for (const QImage &image : images) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        IconPixmap pixmap{argb.width(), argb.height(), {}};
        pixmap.argb.resize(qsizetype(argb.width()) * argb.height() * 4);
        auto *out = reinterpret_cast<quint32 *>(pixmap.argb.data());
        for (int y = 0; y < argb.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

} // namespace

// The item as hosts see it. Only its icon changes during a run, for another host.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(vantora::statusitem::IconPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(vantora::statusitem::IconPixmaps OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(vantora::statusitem::IconPixmaps AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(vantora::statusitem::ToolTip ToolTip READ toolTip)
public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem &item)
        : QDBusAbstractAdaptor(&item)
        , m_item(item)
        , m_pixmaps(iconPixmaps(item.m_description.icon.pixmaps))
    {
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return m_item.m_description.id; }
    QString title() const { return m_item.m_description.title; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconThemePath() const { return m_item.m_description.icon.themePath; }
    QDBusObjectPath menu() const { return QDBusObjectPath(menuPath); }
    // A click is for the panel; the menu is for the secondary click.
    bool itemIsMenu() const { return false; }
    QString iconName() const { return m_item.offersIconName() ? m_item.m_description.icon.name : QString(); }
    IconPixmaps iconPixmap() const { return m_pixmaps; }
    QString noName() const { return {}; }
    IconPixmaps noPixmap() const { return {}; }
    ToolTip toolTip() const { return {QString(), {}, m_item.m_description.toolTip, QString()}; }

public Q_SLOTS:
    void Activate(int x, int y) { m_item.activate(QPoint(x, y)); }
    // A middle click is a click as well: nothing else suits it better than opening the panel.
    void SecondaryActivate(int x, int y) { m_item.activate(QPoint(x, y)); }
    // Hosts on Wayland send it just before the activation it is for.
    void ProvideXdgActivationToken(const QString &token) { m_item.m_activationToken = token; }
    void ContextMenu(int x, int y) { m_item.showMenu(QPoint(x, y)); }
    void Scroll(int, const QString &) {}

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItem &m_item;
    IconPixmaps m_pixmaps;
};

StatusNotifierItem::StatusNotifierItem(Description description, QMenu &menu, QDBusConnection::BusType bus,
                                       QObject *parent)
    : QObject(parent)
    , m_description(std::move(description))
    , m_menu(menu)
    , m_bus(QDBusConnection::connectToBus(bus, QStringLiteral("vantora-tray-item-%1").arg(quintptr(this), 0, 16)))
{
    qDBusRegisterMetaType<IconPixmap>();
    qDBusRegisterMetaType<IconPixmaps>();
    qDBusRegisterMetaType<ToolTip>();
    if (!m_bus->isConnected())
        return;
    m_adaptor = new StatusNotifierItemAdaptor(*this);
    m_bus->registerObject(itemPath, this, QDBusConnection::ExportAdaptors);
    m_menuExporter = std::make_unique<DBusMenuExporter>(m_menu, *m_bus, menuPath);
    connect(m_menuExporter.get(), &DBusMenuExporter::hostMenuShownChanged, this, &StatusNotifierItem::menuShownChanged);

    m_watcherWatch = std::make_unique<QDBusServiceWatcher>(watcherService, *m_bus,
                                                           QDBusServiceWatcher::WatchForOwnerChange);
    connect(m_watcherWatch.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                if (!newOwner.isEmpty())
                    offerToWatcher(newOwner);
            });
    if (const QDBusConnectionInterface *busInterface = m_bus->interface()) {
        if (const QString owner = busInterface->serviceOwner(watcherService).value(); !owner.isEmpty())
            offerToWatcher(owner);
    }
}

StatusNotifierItem::~StatusNotifierItem()
{
    // Hosts withdraw the item when its connection ends, and may call its menu until then: the
    // connection goes first (it ends once nothing holds it), the menu after.
    QDBusConnection::disconnectFromBus(m_bus->name());
    m_watcherWatch.reset();
    m_bus.reset();
    m_menuExporter.reset();
}

void StatusNotifierItem::offerToWatcher(const QString &watcher)
{
    // The host is told of the icon it suits before it reads the item.
    const QDBusConnectionInterface *busInterface = m_bus->interface();
    const uint pid = busInterface ? busInterface->servicePid(watcher).value() : 0;
    const bool tints = tintsSymbolicIcons(processName(pid));
    if (tints != m_hostTintsIcons) {
        m_hostTintsIcons = tints;
        Q_EMIT m_adaptor->NewIcon();
    }

    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                       watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    // The item goes by its path on this connection, not by a bus name of its own: a host that
    // watches such a name may hear of it only after it read the item, and then drop the item
    // while reading it again.
    call << itemPath;
    // The answer tells nothing to act on: a watcher that refuses shows nothing either way.
    m_bus->send(call);
}

void StatusNotifierItem::activate(QPoint at)
{
    const QString token = std::exchange(m_activationToken, {});
    // Only a Wayland window's activation takes the token (an X11 window's, under XWayland,
    // goes by the X server's time instead). It is the host's text: sent on as it came, and
    // only when it is a plain short line.
    const bool usable = !token.isEmpty() && token.size() <= 512
                        && std::all_of(token.cbegin(), token.cend(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
    const bool handedOver = usable && QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (handedOver)
        qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    Q_EMIT activated(at);
    // The token is for this click's activation only. A click that activated nothing (it closed
    // the panel) leaves it behind, and every program the application starts would inherit it.
    if (handedOver)
        qunsetenv("XDG_ACTIVATION_TOKEN");
}

void StatusNotifierItem::showMenu(QPoint at)
{
    m_menu.popup(at);
}

} // namespace vantora::statusitem

#include "StatusNotifierItem.moc"
