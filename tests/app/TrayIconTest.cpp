// The tray icon as the two kinds of tray meet it, on a real X server and a real session bus:
// an X11 tray (trayer) that embeds the icon's window, and a StatusNotifierItem host, played
// here by a watcher of our own on the test's private bus. Each case starts the real program.

#include "X11SelectionHolder.h"
#include "X11Testing.h"

#include <vantora/BuildInfo.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vantora {
namespace {

using testing::waitUntil;

const QString symbolicName = QString::fromLatin1(buildinfo::applicationId) + QStringLiteral("-symbolic");

bool longWaitUntil(const std::function<bool()> &done)
{
    // The program under the sanitizers takes a few seconds to come up.
    for (int i = 0; i < 4; ++i) {
        if (waitUntil(done))
            return true;
    }
    return false;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One copy of the application with folders of its own.
class RunningApp final {
public:
    explicit RunningApp(const QMap<QString, QString> &variables = {})
    {
        const QString home = m_home.path();
        auto environment = QProcessEnvironment::systemEnvironment();
        for (const char *folder : {"runtime", "config", "data"})
            QDir(home).mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(home + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        environment.remove(QStringLiteral("VANTORA_COLOR_SCHEME"));
        for (auto it = variables.begin(); it != variables.end(); ++it)
            environment.insert(it.key(), it.value());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(qEnvironmentVariable("VANTORA_APP"), {QStringLiteral("--demo")});
        m_process.waitForStarted();
    }
    ~RunningApp()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    QProcess &process() { return m_process; }

private:
    QTemporaryDir m_home;
    QProcess m_process;
};

// Where one of the program's shown windows is, the first for which `is` holds of its id.
std::optional<QRect> shownWindow(const std::function<bool(const QString &window)> &is)
{
    const QStringList windows = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                                QStringLiteral("--class"), QStringLiteral("^vantora$")})
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &window : windows) {
        if (!is(window))
            continue;
        const QString found = run(QStringLiteral("xdotool"),
                                  {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const auto value = [&](const char *name) {
            return QRegularExpression(QStringLiteral("^%1=(-?\\d+)$").arg(QLatin1String(name)),
                                      QRegularExpression::MultilineOption)
                .match(found)
                .captured(1)
                .toInt();
        };
        return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
    }
    return std::nullopt;
}

// A shown window of X11 window type `type`: UTILITY, the panel beside a tray; NORMAL, the panel
// as a window of its own.
std::optional<QRect> shownWindow(const QString &type)
{
    return shownWindow([&](const QString &window) {
        if (run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}).contains(QStringLiteral("Override Redirect State: yes")))
            return false;
        // The first type is the window's own; those after it are fallbacks.
        const QString types =
            run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE")});
        return types.section(QLatin1Char('='), 1).section(QLatin1Char(','), 0, 0).trimmed() ==
               QStringLiteral("_NET_WM_WINDOW_TYPE_") + type;
    });
}

// A shown menu: a window the window manager does not handle.
std::optional<QRect> shownMenu()
{
    return shownWindow([](const QString &window) {
        return run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window})
            .contains(QStringLiteral("Override Redirect State: yes"));
    });
}

std::optional<QRect> trayPanel()
{
    return shownWindow(QStringLiteral("UTILITY"));
}

xcb_connection_t *x11()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// An X11 tray on the top edge whose panel is one flat colour.
class Trayer final {
public:
    explicit Trayer(QRgb panel)
    {
        m_process.start(QStringLiteral("trayer"),
                        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                         QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                         QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("false"),
                         QStringLiteral("--transparent"), QStringLiteral("true"), QStringLiteral("--alpha"),
                         QStringLiteral("0"), QStringLiteral("--tint"),
                         QStringLiteral("0x%1").arg(panel & 0xffffff, 6, 16, QLatin1Char('0'))});
        m_process.waitForStarted();
    }
    ~Trayer()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

    xcb_window_t manager() const { return testing::selectionOwner(x11(), "_NET_SYSTEM_TRAY_S0"); }

    // What the tray asks its icons to draw with: foreground, error, warning, success.
    void askForColour(QRgb foreground)
    {
        std::vector<quint32> colours(12);
        for (int i = 0; i < 4; ++i) {
            colours[3 * i] = quint32(qRed(foreground)) * 257;
            colours[3 * i + 1] = quint32(qGreen(foreground)) * 257;
            colours[3 * i + 2] = quint32(qBlue(foreground)) * 257;
        }
        testing::publishCardinals(x11(), manager(), "_NET_SYSTEM_TRAY_COLORS", colours);
    }

private:
    QProcess m_process;
};

// The icon's window once the tray holds it: a "vantora" window inside trayer's panel.
std::optional<WId> embeddedIcon()
{
    const QStringList lines = run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                                  .split(QLatin1Char('\n'));
    bool inPanel = false;
    for (const QString &line : lines) {
        if (line.contains(QLatin1String("(\"panel\" \"trayer\")")))
            inPanel = true;
        else if (inPanel && line.contains(QLatin1String("\"vantora\": (")))
            return line.trimmed().section(QLatin1Char(' '), 0, 0).toULong(nullptr, 16);
    }
    return std::nullopt;
}

int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The icon as the screen shows it: the tray's panel around the glyph, and the glyph's colour
// (its pixel farthest from the panel).
struct ShownIcon {
    QRgb panel;
    QRgb glyph;
};

ShownIcon shownIcon(WId window)
{
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    ShownIcon shown{image.pixel(0, 0), image.pixel(0, 0)};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (distance(image.pixel(x, y), shown.panel) > distance(shown.glyph, shown.panel))
                shown.glyph = image.pixel(x, y);
        }
    }
    return shown;
}

struct XEmbedCase {
    const char *name;
    QRgb panel;
    std::optional<QRgb> asked;
    const char *scheme;
    QRgb glyph;
    // The tray asks once the icon is in it, as a tray does when its theme changes.
    bool asksLater = false;
};

void PrintTo(const XEmbedCase &c, std::ostream *os)
{
    *os << c.name;
}

class TrayIconXEmbedTest : public ::testing::TestWithParam<XEmbedCase> {};

// A dark panel under a light desktop scheme, and the other way round: the glyph follows the
// panel it is drawn on. A tray that names its colour gets that colour.
TEST_P(TrayIconXEmbedTest, GlyphReadsOnThePanel)
{
    const XEmbedCase &c = GetParam();
    Trayer trayer(c.panel);
    ASSERT_TRUE(longWaitUntil([&] { return trayer.manager() != XCB_WINDOW_NONE; })) << "trayer did not start";
    if (c.asked && !c.asksLater)
        trayer.askForColour(*c.asked);
    RunningApp app({{QStringLiteral("VANTORA_COLOR_SCHEME"), QString::fromLatin1(c.scheme)}});
    std::optional<WId> icon;
    ASSERT_TRUE(longWaitUntil([&] { return bool(icon = embeddedIcon()); })) << "the icon was not embedded";
    if (c.asked && c.asksLater) {
        ASSERT_TRUE(longWaitUntil([&] { return distance(shownIcon(*icon).glyph, 0xffffff) <= 40; }));
        trayer.askForColour(*c.asked);
    }
    // Drawn once the tray's background is known: wait for the glyph to settle on its colour.
    const bool settled = longWaitUntil([&] { return distance(shownIcon(*icon).glyph, c.glyph) <= 40; });
    const ShownIcon shown = shownIcon(*icon);
    EXPECT_LE(distance(shown.panel, c.panel), 8) << "the tray's panel is not the colour it was given";
    EXPECT_TRUE(settled) << std::hex << "glyph " << shown.glyph << " on panel " << shown.panel << ", wanted "
                         << c.glyph;
}

INSTANTIATE_TEST_SUITE_P(
    Trays, TrayIconXEmbedTest,
    ::testing::Values(XEmbedCase{"DarkPanelLightScheme", 0x202020, std::nullopt, "light", 0xffffff},
                      XEmbedCase{"LightPanelDarkScheme", 0xe0e0e0, std::nullopt, "dark", 0x000000},
                      XEmbedCase{"DarkPanelAsksForOrange", 0x202020, 0xff8000, "light", 0xff8000},
                      XEmbedCase{"LightPanelAsksForBlue", 0xe0e0e0, 0x2050c0, "dark", 0x2050c0},
                      XEmbedCase{"DarkPanelAsksForOrangeLater", 0x202020, 0xff8000, "light", 0xff8000, true}),
    [](const auto &info) { return std::string(info.param.name); });

// The desktop's settings portal, with a colour scheme the test can change.
class PortalStandIn final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint colorScheme = 1; // dark

    void announce(QDBusConnection &bus, uint scheme)
    {
        colorScheme = scheme;
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.Settings"),
                                                         QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(scheme));
        bus.send(signal);
    }

public Q_SLOTS:
    QDBusVariant Read(const QString &nameSpace, const QString &key, const QDBusMessage &message)
    {
        if (nameSpace == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme"))
            return QDBusVariant(QVariant::fromValue(QDBusVariant(colorScheme)));
        message.setDelayedReply(true);
        QDBusConnection::sessionBus().send(message.createErrorReply(
            QStringLiteral("org.freedesktop.portal.Error.NotFound"), QStringLiteral("no such setting")));
        return {};
    }
};

// The host side of the tray protocol: says a host is there and records the items that
// register. Its properties must show in its introspection, or Qt sees no host.
class WatcherStandIn final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return m_host; }
    int protocolVersion() const { return 0; }

    int registrations() const { return int(m_items.size()); }
    // A watcher the bus started on a desktop that shows no icons has none until one comes.
    void setHostRegistered(bool registered)
    {
        m_host = registered;
        if (registered)
            Q_EMIT StatusNotifierHostRegistered();
    }

    // Bus name and object path of the last registered item.
    std::optional<std::pair<QString, QString>> item() const
    {
        if (m_items.isEmpty())
            return std::nullopt;
        const QString &item = m_items.last();
        const qsizetype slash = item.indexOf(QLatin1Char('/'));
        if (slash < 0)
            return std::pair(item, QStringLiteral("/StatusNotifierItem"));
        return std::pair(item.left(slash), item.mid(slash));
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        // Items may give their bus name, or only their object path on the caller's name.
        m_items.append(service.startsWith(QLatin1Char('/')) ? message.service() + service : service);
        Q_EMIT StatusNotifierItemRegistered(m_items.last());
    }
    void RegisterStatusNotifierHost(const QString &) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierItemUnregistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
    bool m_host = true;
};

struct MenuEntry {
    int id = 0;
    QString label;
    QList<MenuEntry> children;
};

MenuEntry readMenu(const QDBusArgument &argument)
{
    MenuEntry entry;
    QVariantMap properties;
    argument.beginStructure();
    argument >> entry.id >> properties;
    entry.label = properties.value(QStringLiteral("label")).toString();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children.append(readMenu(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}

// The item's pixmaps (ARGB, each pixel in network byte order) as images.
QList<QImage> images(const QDBusArgument &pixmaps)
{
    QList<QImage> images;
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int width = 0, height = 0;
        QByteArray argb;
        pixmaps.beginStructure();
        pixmaps >> width >> height >> argb;
        pixmaps.endStructure();
        QImage image(width, height, QImage::Format_ARGB32);
        if (argb.size() != qsizetype(width) * height * 4)
            continue;
        for (int i = 0; i < width * height; ++i)
            image.setPixel(i % width, i / width, qFromBigEndian<quint32>(argb.constData() + 4 * i));
        images.append(image);
    }
    pixmaps.endArray();
    return images;
}

class StatusNotifierItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.isConnected()) << "no session bus: run through dbus-run-session";
        ASSERT_TRUE(m_bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &m_portal,
                                         QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        ASSERT_TRUE(m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_watcher,
                                         QDBusConnection::ExportAllContents));
        // The pointer stands far from where the host says the icon was clicked, as under
        // XWayland, where it is where it last crossed one of the X server's windows.
        ASSERT_TRUE(testing::xdotool({QStringLiteral("mousemove"), QStringLiteral("10"), QStringLiteral("790")}));
    }
    void TearDown() override
    {
        m_app.reset();
        m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        m_bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    }

    bool startWatcher() { return m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")); }
    bool stopWatcher() { return m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher")); }

    // Waits for the item's registration number `count` and takes its address.
    void waitForItem(int count = 1)
    {
        ASSERT_TRUE(longWaitUntil([&] { return m_watcher.registrations() >= count; })) << "no item registered";
        std::tie(m_service, m_path) = *m_watcher.item();
    }
    void startAppWithWatcher()
    {
        ASSERT_TRUE(startWatcher());
        m_app = std::make_unique<RunningApp>();
        waitForItem();
    }

    // Calls wait with the event loop running: the program asks the host (this test) things
    // while it answers.
    QVariant property(const QString &name)
    {
        QDBusMessage get = QDBusMessage::createMethodCall(m_service, m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << QStringLiteral("org.kde.StatusNotifierItem") << name;
        const QDBusReply<QDBusVariant> reply = m_bus.call(get, QDBus::BlockWithGui);
        return reply.isValid() ? reply.value().variant() : QVariant();
    }

    QDBusMessage callItem(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(m_service, m_path, QStringLiteral("org.kde.StatusNotifierItem"), method);
        call.setArguments(arguments);
        return m_bus.call(call, QDBus::BlockWithGui);
    }

    // A click on the icon as the host reports it, at the top right of the screen.
    void activate() { ASSERT_EQ(callItem(QStringLiteral("Activate"), {1250, 5}).type(), QDBusMessage::ReplyMessage); }

    // The tray's panel, opened by the point clicked rather than by the pointer.
    void expectPanelByTheClick()
    {
        std::optional<QRect> panel;
        ASSERT_TRUE(longWaitUntil([&] { return bool(panel = trayPanel()); })) << "Activate did not open the tray panel";
        EXPECT_GT(panel->left(), 600) << "the panel is not by the point clicked";
        EXPECT_LT(panel->top(), 100) << "the panel is not by the point clicked";
        EXPECT_FALSE(shownWindow(QStringLiteral("NORMAL"))) << "the panel is shown as a window too";
    }

    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("tray-host"));
    PortalStandIn m_portal;
    WatcherStandIn m_watcher;
    std::unique_ptr<RunningApp> m_app;
    QString m_service;
    QString m_path;
};

TEST_F(StatusNotifierItemTest, ActivateTogglesThePanelByThePointClickedNotByThePointer)
{
    startAppWithWatcher();
    // Hosts on Wayland hand over an activation token before each activation.
    const QDBusMessage token = callItem(QStringLiteral("ProvideXdgActivationToken"), {QStringLiteral("host-token_1")});
    EXPECT_EQ(token.type(), QDBusMessage::ReplyMessage) << token.errorMessage().toStdString();
    activate();
    expectPanelByTheClick();
    activate();
    EXPECT_TRUE(longWaitUntil([&] { return !trayPanel(); })) << "a second Activate did not close the panel";
    EXPECT_EQ(m_watcher.registrations(), 1) << "the toolkit's own item came too";
}

// A watcher that starts after the program (a slow session) gets the item, and the program
// uses the tray rather than showing its panel as a window; a watcher that restarts gets the
// item again, and the window it left takes its place in the tray again.
TEST_F(StatusNotifierItemTest, AWatcherThatComesLaterOrComesBackGetsTheItem)
{
    QElapsedTimer sinceStart;
    m_app = std::make_unique<RunningApp>();
    sinceStart.start();
    QTest::qWait(4000);
    ASSERT_TRUE(startWatcher());
    waitForItem();
    // Past the time a start waits for a tray before it shows the panel as a window.
    QTest::qWait(int(std::max<qint64>(0, 11000 - sinceStart.elapsed())));
    EXPECT_FALSE(shownWindow(QStringLiteral("NORMAL"))) << "the panel came up as a window with a tray there";
    activate();
    expectPanelByTheClick();
    activate();
    ASSERT_TRUE(longWaitUntil([&] { return !trayPanel(); }));

    ASSERT_TRUE(stopWatcher());
    ASSERT_TRUE(longWaitUntil([&] { return bool(shownWindow(QStringLiteral("NORMAL"))); }))
        << "the panel did not come up as a window when the tray went";
    ASSERT_TRUE(startWatcher());
    waitForItem(2);
    EXPECT_TRUE(longWaitUntil([&] { return !shownWindow(QStringLiteral("NORMAL")); }))
        << "the window stayed when the tray came back";
    activate();
    expectPanelByTheClick();
}

// A watcher with no host shows no icon: the panel comes up as a window at the start, and goes
// to the tray once a host registers.
TEST_F(StatusNotifierItemTest, AWatcherWithoutAHostIsNoTrayUntilAHostComes)
{
    m_watcher.setHostRegistered(false);
    startAppWithWatcher();
    ASSERT_TRUE(longWaitUntil([&] { return bool(shownWindow(QStringLiteral("NORMAL"))); }))
        << "with a watcher but no host the start showed nothing";
    m_watcher.setHostRegistered(true);
    EXPECT_TRUE(longWaitUntil([&] { return !shownWindow(QStringLiteral("NORMAL")); }))
        << "the window stayed when a host registered";
    activate();
    expectPanelByTheClick();
}

// What hosts read of the item: a click is for the panel, the menu is at the given path, and
// the symbolic icon lies in the folder named with it. A host not known to tint symbolic icons
// for its bar (this test's own watcher) is not given its name: drawn as it is, it would vanish
// on a dark bar, so such a host shows the pixels instead.
TEST_F(StatusNotifierItemTest, TheItemDescribesItselfToHosts)
{
    startAppWithWatcher();
    const QString themePath = property(QStringLiteral("IconThemePath")).toString();
    EXPECT_TRUE(QFileInfo::exists(themePath + QStringLiteral("/hicolor/scalable/status/") + symbolicName +
                                  QStringLiteral(".svg")))
        << "no symbolic icon in " << themePath.toStdString();
    const std::pair<const char *, QVariant> expected[] = {
        {"IconName", QString()},
        {"Id", QStringLiteral("vantora")},
        {"Title", QStringLiteral("vantora")},
        {"Category", QStringLiteral("ApplicationStatus")},
        {"Status", QStringLiteral("Active")},
        {"ItemIsMenu", false},
    };
    for (const auto &[name, value] : expected)
        EXPECT_EQ(property(QString::fromLatin1(name)), value) << name;
    // By its path on the program's connection: a host that watches a bus name of the item's
    // own may hear of that name only after reading the item, and drop it on reading it again.
    EXPECT_TRUE(m_service.startsWith(QLatin1Char(':'))) << m_service.toStdString();
    EXPECT_FALSE(property(QStringLiteral("Menu")).value<QDBusObjectPath>().path().isEmpty()) << "the item has no menu";
}

// Hosts that take pixels show them as they are, on a bar of any colour: the glyph is light
// with a dark outline, and the same whatever the desktop's scheme.
TEST_F(StatusNotifierItemTest, ThePixelsReadOnAnyBarWhateverTheScheme)
{
    startAppWithWatcher();
    const auto pixmap = [&] { return property(QStringLiteral("IconPixmap")).value<QDBusArgument>(); };
    const QList<QImage> shown = images(pixmap());
    ASSERT_FALSE(shown.isEmpty()) << "the item shows no pixels";
    for (const QImage &image : shown) {
        SCOPED_TRACE(image.width());
        int light = 0, dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() > 200 && pixel.lightnessF() > 0.9)
                    ++light;
                else if (pixel.alpha() > 200 && pixel.lightnessF() < 0.2)
                    ++dark;
            }
        }
        EXPECT_GT(light, image.width() / 2) << "no light glyph to read on a dark bar";
        EXPECT_GT(dark, image.width() / 2) << "no dark outline to read on a light bar";
    }

    m_portal.announce(m_bus, 2); // light
    QTest::qWait(500);
    EXPECT_EQ(images(pixmap()), shown) << "the pixels changed with the scheme";
}

// The host may ask the item to show its menu itself, where it names; the menu offers the
// application's commands, and its Quit, chosen through the host, ends the program cleanly.
TEST_F(StatusNotifierItemTest, TheMenuHoldsTheCommandsShowsWhereAskedAndQuits)
{
    startAppWithWatcher();
    ASSERT_EQ(callItem(QStringLiteral("ContextMenu"), {600, 300}).type(), QDBusMessage::ReplyMessage);
    std::optional<QRect> menu;
    ASSERT_TRUE(longWaitUntil([&] { return bool(menu = shownMenu()); })) << "ContextMenu showed no menu";
    EXPECT_LE((menu->topLeft() - QPoint(600, 300)).manhattanLength(), 8) << "the menu is not where it was asked for";
    ASSERT_TRUE(testing::xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
    ASSERT_TRUE(longWaitUntil([&] { return !shownMenu(); })) << "Escape did not close the menu";

    const QString menuPath = property(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage getLayout = QDBusMessage::createMethodCall(m_service, menuPath, QStringLiteral("com.canonical.dbusmenu"),
                                                            QStringLiteral("GetLayout"));
    getLayout << 0 << -1 << QStringList();
    const QDBusMessage layout = m_bus.call(getLayout, QDBus::BlockWithGui);
    ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
    const MenuEntry root = readMenu(layout.arguments().at(1).value<QDBusArgument>());
    QStringList labels;
    std::optional<int> quit;
    for (const MenuEntry &entry : root.children) {
        labels.append(entry.label);
        if (entry.label == QLatin1String("Quit vantora"))
            quit = entry.id;
    }
    for (const char *command :
         {"About vantora", "Check for updates", "Preferences…", "Reset connection…", "Refresh lights", "Quit vantora"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(command))) << command << " is missing from the tray menu";
    ASSERT_TRUE(quit);

    QDBusMessage click = QDBusMessage::createMethodCall(m_service, menuPath, QStringLiteral("com.canonical.dbusmenu"),
                                                        QStringLiteral("Event"));
    click << *quit << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
    m_bus.call(click, QDBus::BlockWithGui);
    QProcess &process = m_app->process();
    ASSERT_TRUE(longWaitUntil([&] { return process.state() == QProcess::NotRunning; })) << "Quit did not end the program";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

} // namespace
} // namespace vantora

#include "TrayIconTest.moc"
