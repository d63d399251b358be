#include "platform/x11/X11FocusGrabs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>

namespace vantora::platform {

X11FocusGrabs::X11FocusGrabs(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11FocusGrabs::~X11FocusGrabs()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

namespace {

bool shown(quint32 window)
{
    const auto windows = QGuiApplication::topLevelWindows();
    return std::any_of(windows.begin(), windows.end(), [window](const QWindow *candidate) {
        return candidate->handle() && quint32(candidate->winId()) == window && candidate->isVisible()
            && candidate->visibility() != QWindow::Minimized;
    });
}

} // namespace

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
        // A grab that ends hands the focus back to the window it took it from, even one the
        // application hid or minimised meanwhile, or hides by the very key whose grab ends (a
        // global key that hides it), which loses it again as the server unmaps it. Taken, that focus makes the hidden window the active one: its
        // keyboard focus moves to another control, and the loss that follows, told a moment
        // late, deactivates the window shown again meanwhile (a click on the icon), which goes.
        if (focus->mode == XCB_NOTIFY_MODE_UNGRAB && (!shown(window) || (m_goingAway && m_goingAway(window))))
            return true;
        if (shown(window))
            Q_EMIT focusArrived(window);
    } else if (focus->mode == XCB_NOTIFY_MODE_GRAB) {
        m_heldByGrab.insert(window);
    } else if (m_heldByGrab.remove(window)) {
        // While the grab held the keyboard, the focus itself moved to another window.
        Q_EMIT focusLeft(window);
    }
    return false;
}

} // namespace vantora::platform
