// The application on GNOME as it comes: a real GNOME Shell session (run-in-gnome-shell.sh
// --without-tray) with no tray extension, so no tray at all. A person there sees the
// application's windows and nothing else of it: one window from the first start on, which a
// second start brings back, and which the shell's own Quit (or Ctrl+Q) quits. Windows are counted as the screen shows
// them (the application's mapped X11 windows under XWayland); the screen is read (a Wayland
// window is nowhere else to be seen) and kept as pictures through the shell's screenshot
// interface.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <functional>
#include <vector>

namespace vantora {
namespace {

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    return QTest::qWaitFor(done, int(limit.count()));
}

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The application's windows the screen shows: mapped, and not minimised (the shell keeps a
// minimised window mapped, marked hidden).
QStringList shownWindows()
{
    QStringList shown = output(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--classname"), QStringLiteral("^vantora$")})
                            .split(u'\n', Qt::SkipEmptyParts);
    shown.removeIf([](const QString &window) {
        return output(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")})
            .contains(QLatin1String("_NET_WM_STATE_HIDDEN"));
    });
    return shown;
}

// The whole screen as the shell shows it, into the picture file `path`. The shell answers only
// the screenshot tool's bus name.
bool takeScreen(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(QStringLiteral("org.gnome.Screenshot")))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("Screenshot"));
    call << false << false << path;
    const QDBusMessage answer = bus.call(call);
    bus.unregisterService(QStringLiteral("org.gnome.Screenshot"));
    return answer.type() == QDBusMessage::ReplyMessage;
}

// The whole screen, kept under $VANTORA_SHOTS for people to look at.
void keepScreen(const QString &name)
{
    const QString folder = qEnvironmentVariable("VANTORA_SHOTS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        takeScreen(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// The screen below the top bar, whose clock changes as it likes.
QImage screenBelowBar()
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("screen.png"));
    if (!takeScreen(path))
        return {};
    const QImage screen(path);
    constexpr int bar = 40;
    return screen.copy(0, bar, screen.width(), screen.height() - bar).convertToFormat(QImage::Format_RGB32);
}

// Whether the screen shows the lights panel: its light grey background, which neither the
// desktop's background nor the shell's notices have, over a good part of a window.
bool panelOnScreen()
{
    const QImage screen = screenBelowBar();
    qsizetype panelGrey = 0;
    for (int y = 0; y < screen.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            const int red = qRed(row[x]), green = qGreen(row[x]), blue = qBlue(row[x]);
            panelGrey += std::min({red, green, blue}) >= 236 && std::max({red, green, blue}) - std::min({red, green, blue}) <= 4
                         && std::max({red, green, blue}) <= 248;
        }
    }
    return panelGrey > 20000;
}

int shellMajorVersion()
{
    return output(QStringLiteral("gnome-shell"), {QStringLiteral("--version")}).section(u' ', 2).section(u'.', 0, 0).toInt();
}

// The top bar's menu of the focused application, and its Quit, on a 1600-pixel-wide screen.
constexpr QPoint appMenu{175, 15};
constexpr QPoint appMenuQuit{100, 62};

// The pointer, its buttons and the keyboard, through a remote-desktop session of the
// compositor: xdotool reaches only XWayland, not the shell's bar nor a Wayland window.
class ShellInput final {
public:
    enum Key : quint32 { leftShift = 42, leftControl = 29, escape = 1, q = 16 }; // evdev codes

    ShellInput()
    {
        const QDBusReply<QDBusObjectPath> created = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), service, QStringLiteral("CreateSession")));
        m_session = created.value().path();
        session(QStringLiteral("Start"));
    }
    ~ShellInput() { session(QStringLiteral("Stop")); }

    bool isReady() const { return !m_session.isEmpty(); }

    // Only relative motion needs no screen cast: first into the bottom right corner (the top
    // left one opens the overview), then from there to the point.
    void click(QPoint point)
    {
        const QPoint corner = QGuiApplication::primaryScreen()->geometry().bottomRight();
        session(QStringLiteral("NotifyPointerMotionRelative"), {1e5, 1e5});
        session(QStringLiteral("NotifyPointerMotionRelative"),
                {double(point.x() - corner.x()), double(point.y() - corner.y())});
        QTest::qWait(100);
        constexpr int leftButton = 0x110; // evdev
        session(QStringLiteral("NotifyPointerButton"), {leftButton, true});
        QTest::qWait(30);
        session(QStringLiteral("NotifyPointerButton"), {leftButton, false});
    }

    // Presses the keys in order and lets go of them in the reverse order.
    void type(const std::vector<Key> &keys)
    {
        if (!m_keyboardReady) {
            // The compositor makes the session's keyboard at its first key, which is lost.
            key(leftShift, true);
            key(leftShift, false);
            QTest::qWait(150);
            m_keyboardReady = true;
        }
        for (Key pressed : keys) {
            key(pressed, true);
            QTest::qWait(30);
        }
        for (auto released = keys.rbegin(); released != keys.rend(); ++released) {
            key(*released, false);
            QTest::qWait(30);
        }
    }

private:
    static inline const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");

    void session(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, m_session, service + QStringLiteral(".Session"), method);
        call.setArguments(arguments);
        QDBusConnection::sessionBus().call(call);
    }

    void key(Key key, bool down) { session(QStringLiteral("NotifyKeyboardKeycode"), {uint(key), down}); }

    QString m_session;
    bool m_keyboardReady = false;
};

// The real program as a person starts it, with folders of its own: no saved bridge, so its
// first start.
class Person final {
public:
    // `platform`: the toolkit's platform, or empty for the application's own choice.
    explicit Person(const QString &platform = {}, QStringList arguments = {}) : m_arguments(std::move(arguments))
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        const QString home = m_home.path();
        m_environment.insert(QStringLiteral("HOME"), home);
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        m_environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        // As a GNOME session starts programs: the application chooses its platform itself.
        m_environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!platform.isEmpty())
            m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    }
    ~Person()
    {
        if (m_first.state() != QProcess::NotRunning) {
            m_first.terminate();
            if (!m_first.waitForFinished(10000))
                m_first.kill();
            m_first.waitForFinished();
        }
    }

    void startFirst()
    {
        m_first.setProcessEnvironment(m_environment);
        m_first.setProcessChannelMode(QProcess::ForwardedChannels);
        m_first.start(qEnvironmentVariable("VANTORA_APP"), m_arguments);
        m_first.waitForStarted();
    }
    // Starts the program again, as from the desktop's launcher; the exit code of that start.
    int startAgain()
    {
        QProcess again;
        again.setProcessEnvironment(m_environment);
        again.setProcessChannelMode(QProcess::ForwardedChannels);
        again.start(qEnvironmentVariable("VANTORA_APP"), m_arguments);
        if (!again.waitForFinished(20000))
            return -1;
        return again.exitStatus() == QProcess::NormalExit ? again.exitCode() : -1;
    }
    QProcess &first() { return m_first; }

private:
    QStringList m_arguments;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_first;
};

TEST(GnomeShellWithoutTrayTest, OneWindowFromTheFirstStartToQuit)
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) << "run through run-in-gnome-shell.sh --without-tray";
    Person person;
    person.startFirst();
    ASSERT_TRUE(waitUntil([] { return !shownWindows().isEmpty(); }, 30s)) << "the first start showed no window";
    const QStringList first = shownWindows();
    EXPECT_EQ(first.size(), 1) << "the first start showed " << first.size() << " windows";

    // The welcome window stands for the panel, which the application would show at once
    // without a tray: still the one window once the shell has shown everything it was given.
    QTest::qWait(1000);
    keepScreen(QStringLiteral("gnome-without-tray-first-start"));
    EXPECT_EQ(shownWindows(), first) << "without a tray the first start came to " << shownWindows().size()
                                     << " windows";

    // Out of sight, then found again by starting the application again.
    output(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), first.front()});
    ASSERT_TRUE(waitUntil([] { return shownWindows().isEmpty(); }, 10s)) << "the window could not be minimised";
    EXPECT_EQ(person.startAgain(), 0) << "the second start failed";
    EXPECT_TRUE(waitUntil([] { return shownWindows().size() == 1; }, 10s)) << "the second start brought back "
                                                                           << shownWindows().size() << " windows";
    QTest::qWait(1000);
    keepScreen(QStringLiteral("gnome-without-tray-second-start"));
    EXPECT_EQ(shownWindows(), first) << "the second start did not bring back the window there was";

    // No tray, no tray menu: the shell's own Quit quits, where the shell has it in its top
    // bar (before 45); Ctrl+Q in the window does everywhere.
    const bool shellMenu = shellMajorVersion() < 45;
    if (shellMenu) {
        ShellInput input;
        ASSERT_TRUE(input.isReady()) << "no remote-desktop session";
        input.click(appMenu);
        QTest::qWait(1000);
        keepScreen(QStringLiteral("gnome-without-tray-app-menu"));
        input.click(appMenuQuit);
    } else {
        const QStringList shown = shownWindows();
        ASSERT_FALSE(shown.isEmpty());
        output(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), shown.front()});
        output(QStringLiteral("xdotool"),
               {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+q")});
    }
    ASSERT_TRUE(person.first().waitForFinished(10000))
        << (shellMenu ? "the shell's Quit" : "Ctrl+Q") << " did not quit the application";
    EXPECT_EQ(person.first().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(person.first().exitCode(), 0);
    EXPECT_TRUE(shownWindows().isEmpty());
}

// Without a tray, the lights panel is an ordinary window, on X11 (under XWayland, the
// application's own choice) and on Wayland alike: Escape minimises it, the application runs on,
// and another start brings the window back, where Ctrl+Q quits. The X11 window is seen as the
// X server has it, the Wayland one on the screen.
TEST(GnomeShellWithoutTrayTest, EscapeMinimisesThePanelsWindowAndAnotherStartBringsItBack)
{
    ASSERT_TRUE(qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) << "run through run-in-gnome-shell.sh --without-tray";
    ShellInput input;
    ASSERT_TRUE(input.isReady()) << "no remote-desktop session";
    for (const QString platform : {QString(), QStringLiteral("wayland")}) {
        SCOPED_TRACE(platform.isEmpty() ? "the application's choice" : "Wayland");
        const std::function<bool()> windowShown = platform.isEmpty()
            ? std::function<bool()>([] { return shownWindows().size() == 1; })
            : std::function<bool()>(panelOnScreen);
        Person person(platform, {QStringLiteral("--demo")});
        person.startFirst();
        ASSERT_TRUE(waitUntil(windowShown, 30s)) << "the start showed no window";

        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round);
            input.type({ShellInput::escape});
            EXPECT_TRUE(waitUntil([&] { return !windowShown(); }, 10s)) << "Escape left the window on the screen";
            ASSERT_EQ(person.first().state(), QProcess::Running) << "Escape ended the application";
            EXPECT_EQ(person.startAgain(), 0) << "the second start failed";
            EXPECT_TRUE(waitUntil(windowShown, 10s)) << "the second start did not bring the window back";
        }
        keepScreen(platform.isEmpty() ? QStringLiteral("gnome-without-tray-panel-back")
                                      : QStringLiteral("gnome-without-tray-panel-back-wayland"));
        // The window brought back has the keyboard.
        input.type({ShellInput::leftControl, ShellInput::q});
        // It may have quit while the keys were let go.
        ASSERT_TRUE(person.first().state() == QProcess::NotRunning || person.first().waitForFinished(10000))
            << "Ctrl+Q did not quit the application";
        EXPECT_EQ(person.first().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(person.first().exitCode(), 0);
    }
}

} // namespace
} // namespace vantora
