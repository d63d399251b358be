#include "platform/X11CompositingWatch.h"

#include "platform/PollWatch.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <string>

namespace vantora::platform {

struct X11CompositingWatch::Connection {
    xcb_connection_t *raw = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    quint8 xfixesFirstEvent = 0;
    std::unique_ptr<PollWatch> watch;

    ~Connection()
    {
        watch.reset();
        if (raw)
            xcb_disconnect(raw);
    }
};

namespace {

template <typename Reply>
struct Freed {
    Reply *reply;
    ~Freed() { std::free(reply); }
};

} // namespace

std::unique_ptr<X11CompositingWatch> X11CompositingWatch::open(const QByteArray &displayName)
{
    auto connection = std::make_unique<Connection>();
    int screenNumber = 0;
    connection->raw = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    xcb_connection_t *raw = connection->raw;
    if (xcb_connection_has_error(raw))
        return nullptr;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(raw, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return nullptr;
    connection->xfixesFirstEvent = xfixes->first_event;
    // The server takes XFixes requests only from a client that told it its version.
    const Freed version{xcb_xfixes_query_version_reply(
        raw, xcb_xfixes_query_version(raw, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr)};
    if (!version.reply)
        return nullptr;

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(raw));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return nullptr;
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    const Freed atom{xcb_intern_atom_reply(raw, xcb_intern_atom(raw, 0, quint16(name.size()), name.data()), nullptr)};
    if (!atom.reply)
        return nullptr;
    connection->selection = atom.reply->atom;

    // Listening first, then asking: an owner that comes or goes in between is still told.
    xcb_xfixes_select_selection_input(raw, screens.data->root, connection->selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    const Freed owner{xcb_get_selection_owner_reply(raw, xcb_get_selection_owner(raw, connection->selection), nullptr)};
    if (!owner.reply)
        return nullptr;

    std::unique_ptr<X11CompositingWatch> watch(new X11CompositingWatch(std::move(connection)));
    watch->m_compositing = owner.reply->owner != XCB_NONE;
    // Events that came while waiting for the replies are queued already; the descriptor
    // will not tell of them.
    watch->readEvents();
    return watch;
}

X11CompositingWatch::X11CompositingWatch(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
{
    m_connection->watch = std::make_unique<PollWatch>(xcb_get_file_descriptor(m_connection->raw),
                                                      PollWatch::Event::Readable, [this](PollWatch::Events) {
                                                          readEvents();
                                                      });
}

X11CompositingWatch::~X11CompositingWatch() = default;

void X11CompositingWatch::readEvents()
{
    xcb_connection_t *raw = m_connection->raw;
    bool compositing = m_compositing;
    while (xcb_generic_event_t *event = xcb_poll_for_event(raw)) {
        const Freed freed{event};
        if ((event->response_type & 0x7f) != m_connection->xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY)
            continue;
        const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
        if (notify->selection != m_connection->selection)
            continue;
        compositing = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER && notify->owner != XCB_NONE;
    }
    // A server that went away tells nothing more; what it said last stands.
    if (xcb_connection_has_error(raw))
        m_connection->watch->setWanted({});
    if (compositing == m_compositing)
        return;
    m_compositing = compositing;
    Q_EMIT compositingChanged();
}

} // namespace vantora::platform
