#include "platform/ShellQuitAction.h"

#include "platform/X11Connection.h"

#include <gio/gio.h>
#include <xcb/xcb.h>

namespace vantora::platform {

namespace {

constexpr char objectPath[] = "/org/vantora/Vantora";

} // namespace

// The action group as exported on the session bus. The bus connection is GLib's own, shared
// with whatever else in the process speaks D-Bus through GLib; its calls come in through the
// main thread's GLib main context, which Qt's event loop runs.
struct ShellQuitAction::Exported {
    explicit Exported(std::function<void()> quit) : quit(std::move(quit)) {}
    ~Exported()
    {
        if (exportId)
            g_dbus_connection_unexport_action_group(bus, exportId);
        if (actions)
            g_object_unref(actions);
        if (bus)
            g_object_unref(bus);
    }
    Exported(const Exported &) = delete;
    Exported &operator=(const Exported &) = delete;

    static void activated(GSimpleAction *, GVariant *, gpointer self)
    {
        static_cast<Exported *>(self)->quit();
    }

    std::function<void()> quit;
    GDBusConnection *bus = nullptr;
    GSimpleActionGroup *actions = nullptr;
    guint exportId = 0;
};

ShellQuitAction::ShellQuitAction(std::function<void()> quit, const QByteArray &displayName)
    : m_connection(X11Connection::open(displayName))
    , m_exported(std::make_unique<Exported>(std::move(quit)))
{
    if (!m_connection)
        return;
    m_exported->bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!m_exported->bus)
        return;
    m_exported->actions = g_simple_action_group_new();
    GSimpleAction *quitAction = g_simple_action_new("quit", nullptr);
    g_signal_connect(quitAction, "activate", G_CALLBACK(&Exported::activated), m_exported.get());
    g_action_map_add_action(G_ACTION_MAP(m_exported->actions), G_ACTION(quitAction));
    g_object_unref(quitAction);
    m_exported->exportId = g_dbus_connection_export_action_group(m_exported->bus, objectPath,
                                                                 G_ACTION_GROUP(m_exported->actions), nullptr);
}

ShellQuitAction::~ShellQuitAction() = default;

void ShellQuitAction::offerOn(quint32 window)
{
    if (!m_connection || m_connection->hasFailed() || !m_exported->exportId)
        return;
    xcb_connection_t *connection = m_connection->raw();
    const xcb_atom_t text = m_connection->internAtom("UTF8_STRING");
    const auto name = [&](const QByteArray &property, const QByteArray &value) {
        const xcb_atom_t atom = m_connection->internAtom(property);
        if (atom != XCB_ATOM_NONE && text != XCB_ATOM_NONE)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom, text, 8, quint32(value.size()),
                                value.constData());
    };
    name("_GTK_UNIQUE_BUS_NAME", g_dbus_connection_get_unique_name(m_exported->bus));
    name("_GTK_APPLICATION_OBJECT_PATH", objectPath);
    // The window manager reads them when it takes the window: they must be there before the
    // application's other connection asks to map it.
    const XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace vantora::platform
