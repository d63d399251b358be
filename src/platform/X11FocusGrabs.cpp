#include "platform/X11FocusGrabs.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

namespace vantora::platform {

X11FocusGrabs::X11FocusGrabs(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11FocusGrabs::~X11FocusGrabs()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11FocusGrabs::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_FOCUS_IN && type != XCB_FOCUS_OUT)
        return false;
    // Focus out and in share one layout.
    const auto *focus = reinterpret_cast<const xcb_focus_in_event_t *>(event);
    // Sent only because the pointer is over the window while the focus is elsewhere.
    if (focus->detail == XCB_NOTIFY_DETAIL_POINTER)
        return false;
    const quint32 window = focus->event;
    if (type == XCB_FOCUS_IN) {
        m_heldByGrab.remove(window);
    } else if (focus->mode == XCB_NOTIFY_MODE_GRAB) {
        m_heldByGrab.insert(window);
    } else if (m_heldByGrab.remove(window)) {
        // While the grab held the keyboard, the focus itself moved to another window.
        Q_EMIT focusLeft(window);
    }
    return false;
}

} // namespace vantora::platform
