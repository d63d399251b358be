#include "X11SelectionHolder.h"
#include "X11Testing.h"

#include "platform/TrayHostWatch.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <gtest/gtest.h>

#include <functional>

using namespace vantora::platform;
using vantora::testing::waitUntil;
using vantora::testing::X11SelectionHolder;

namespace {

const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// A watcher as a desktop without a tray may have one (started by the bus for an item that
// asked): it says whether a host registered, and tells of hosts as they come and go.
class WatcherStandIn final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
public:
    explicit WatcherStandIn(QDBusConnection bus) : m_bus(std::move(bus))
    {
        m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportAllContents);
    }
    ~WatcherStandIn() override { m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher")); }

    bool isHostRegistered() const { return m_host; }
    bool start() { return m_bus.registerService(statusNotifierWatcher); }
    bool stop() { return m_bus.unregisterService(statusNotifierWatcher); }
    // By the watcher's own signal.
    void hostRegistered(bool registered)
    {
        m_host = registered;
        if (registered)
            Q_EMIT StatusNotifierHostRegistered();
        else
            Q_EMIT StatusNotifierHostUnregistered();
    }
    // By the property's change alone.
    void hostChangedProperty(bool registered)
    {
        m_host = registered;
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/StatusNotifierWatcher"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("PropertiesChanged"));
        changed << statusNotifierWatcher
                << QVariantMap{{QStringLiteral("IsStatusNotifierHostRegistered"), registered}} << QStringList();
        m_bus.send(changed);
    }

Q_SIGNALS:
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

private:
    QDBusConnection m_bus;
    bool m_host = false;
};

} // namespace

TEST(TrayHostWatch, HearsATrayComeAndGoOnEitherProtocol)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "no session bus";
    // An XEmbed tray takes the screen's tray selection with a window of its own and announces
    // that on the root window; it goes by destroying the window.
    X11SelectionHolder xembed("_NET_SYSTEM_TRAY_S");
    struct Tray {
        const char *name;
        std::function<void()> start;
        std::function<void()> stop;
    };
    const Tray trays[] = {
        {"XEmbed",
         [&] {
             xembed.take();
             xembed.announce();
         },
         [&] { xembed.destroyWindow(); }},
        {"StatusNotifierWatcher",
         [] { ASSERT_TRUE(QDBusConnection::sessionBus().registerService(statusNotifierWatcher)); },
         [] { ASSERT_TRUE(QDBusConnection::sessionBus().unregisterService(statusNotifierWatcher)); }},
    };
    for (const Tray &tray : trays) {
        for (const bool trayFirst : {false, true}) {
            SCOPED_TRACE(std::string(tray.name) + (trayFirst ? ", there before the watch" : ", coming later"));
            if (trayFirst)
                tray.start();
            TrayHostWatch watch;
            int changes = 0;
            QObject::connect(&watch, &TrayHostWatch::changed, [&changes] { ++changes; });
            if (!trayFirst) {
                EXPECT_FALSE(watch.anyHost());
                tray.start();
                EXPECT_TRUE(waitUntil([&] { return watch.anyHost(); }));
                EXPECT_EQ(changes, 1);
            }
            EXPECT_TRUE(watch.anyHost());

            const int before = changes;
            tray.stop();
            EXPECT_TRUE(waitUntil([&] { return !watch.anyHost(); }));
            EXPECT_EQ(changes, before + 1);
        }
    }
}

// A watcher alone shows no icon: it is a tray once a host registers with it, and none again
// when the host leaves, however the watcher tells it.
TEST(TrayHostWatch, AWatcherIsATrayOnlyWhileAHostIsRegistered)
{
    WatcherStandIn watcher(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("tray-host")));
    for (const bool watcherFirst : {false, true}) {
        SCOPED_TRACE(watcherFirst ? "there before the watch" : "coming later");
        if (watcherFirst)
            ASSERT_TRUE(watcher.start());
        TrayHostWatch watch;
        int changes = 0;
        QObject::connect(&watch, &TrayHostWatch::changed, [&changes] { ++changes; });
        if (!watcherFirst)
            ASSERT_TRUE(watcher.start());
        // Once the watch heard of it and asked it.
        EXPECT_TRUE(waitUntil([&] { return (watcherFirst || changes > 0) && !watch.anyHost(); }))
            << "a watcher without a host counts as a tray";
        EXPECT_TRUE(watch.statusNotifierWatcher());

        struct Step {
            const char *what;
            std::function<void()> act;
            bool host;
        };
        const Step steps[] = {
            {"a host registers", [&] { watcher.hostRegistered(true); }, true},
            {"the host leaves", [&] { watcher.hostRegistered(false); }, false},
            {"a host told by the property", [&] { watcher.hostChangedProperty(true); }, true},
            {"the host gone by the property", [&] { watcher.hostChangedProperty(false); }, false},
        };
        for (const Step &step : steps) {
            SCOPED_TRACE(step.what);
            const int before = changes;
            step.act();
            EXPECT_TRUE(waitUntil([&] { return changes > before; }));
            EXPECT_EQ(watch.anyHost(), step.host);
        }
        ASSERT_TRUE(watcher.stop());
        EXPECT_TRUE(waitUntil([&] { return !watch.statusNotifierWatcher(); }));
    }
}

#include "TrayHostWatchTest.moc"
