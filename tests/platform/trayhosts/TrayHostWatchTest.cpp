#include "X11Testing.h"

#include "platform/TrayHostWatch.h"

#include <QDBusConnection>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>
#include <memory>

using namespace vantora::platform;
using vantora::testing::waitUntil;

namespace {

// A tray that comes and goes as an XEmbed tray does: it takes the screen's tray selection
// with a window of its own and announces that on the root window; it goes by destroying the
// window.
class XEmbedTray final {
public:
    XEmbedTray() : m_connection(xcb_connect(nullptr, &m_screenNumber))
    {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_screenNumber; ++i)
            xcb_screen_next(&screens);
        m_root = screens.data->root;
        m_selection = atom("_NET_SYSTEM_TRAY_S" + std::to_string(m_screenNumber));
        m_manager = atom("MANAGER");
    }
    ~XEmbedTray() { xcb_disconnect(m_connection); }

    void start()
    {
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, m_window, m_selection, XCB_CURRENT_TIME);
        xcb_client_message_event_t announcement{};
        announcement.response_type = XCB_CLIENT_MESSAGE;
        announcement.format = 32;
        announcement.window = m_root;
        announcement.type = m_manager;
        announcement.data.data32[0] = XCB_CURRENT_TIME;
        announcement.data.data32[1] = m_selection;
        announcement.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&announcement));
        xcb_flush(m_connection);
    }
    void stop()
    {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }

private:
    xcb_atom_t atom(const std::string &name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_connection,
                                  xcb_intern_atom(m_connection, 0, quint16(name.size()), name.c_str()), nullptr),
            &std::free);
        return reply ? reply->atom : XCB_ATOM_NONE;
    }

    int m_screenNumber = 0;
    xcb_connection_t *m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    xcb_atom_t m_manager = XCB_ATOM_NONE;
};

const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

TEST(TrayHostWatch, HearsATrayComeAndGoOnEitherProtocol)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "no session bus";
    XEmbedTray xembed;
    struct Tray {
        const char *name;
        std::function<void()> start;
        std::function<void()> stop;
    };
    const Tray trays[] = {
        {"XEmbed", [&] { xembed.start(); }, [&] { xembed.stop(); }},
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
