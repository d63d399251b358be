#include "platform/gnome/ShellQuitAction.h"

#include "platform/x11/X11Connection.h"

#include <QByteArrayView>

#include <gio/gio.h>
#include <xcb/xcb.h>

#include <array>

namespace vantora::platform {

namespace {

constexpr char objectPath[] = "/org/vantora/Vantora";

// The atoms named, asked for together: one wait for all their answers. None (0) for any the
// server did not answer.
template <std::size_t N>
std::array<xcb_atom_t, N> internAtoms(xcb_connection_t *connection, const std::array<QByteArrayView, N> &names)
{
    std::array<xcb_intern_atom_cookie_t, N> cookies{};
    for (std::size_t i = 0; i < N; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, quint16(names[i].size()), names[i].data());
    std::array<xcb_atom_t, N> atoms{};
    for (std::size_t i = 0; i < N; ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return atoms;
}

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

ShellQuitAction::ShellQuitAction(std::function<void()> quit, xcb_connection_t *connection)
    : m_connection(connection)
    , m_exported(std::make_unique<Exported>(std::move(quit)))
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    const auto atoms = internAtoms<3>(
        m_connection, {QByteArrayView("UTF8_STRING"), "_GTK_UNIQUE_BUS_NAME", "_GTK_APPLICATION_OBJECT_PATH"});
    m_atoms = {.text = atoms[0], .busName = atoms[1], .objectPath = atoms[2]};
    if (!m_atoms.text || !m_atoms.busName || !m_atoms.objectPath)
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
    if (!m_exported->exportId || xcb_connection_has_error(m_connection))
        return;
    const auto name = [&](xcb_atom_t property, const QByteArray &value) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, m_atoms.text, 8,
                            quint32(value.size()), value.constData());
    };
    name(m_atoms.busName, g_dbus_connection_get_unique_name(m_exported->bus));
    name(m_atoms.objectPath, objectPath);
}

} // namespace vantora::platform
