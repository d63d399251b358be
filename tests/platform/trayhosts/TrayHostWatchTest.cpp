#include "X11SelectionHolder.h"
#include "X11Testing.h"

#include "platform/TrayHostWatch.h"

#include <QDBusConnection>

#include <gtest/gtest.h>

#include <functional>

using namespace vantora::platform;
using vantora::testing::waitUntil;
using vantora::testing::X11SelectionHolder;

namespace {

const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

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
