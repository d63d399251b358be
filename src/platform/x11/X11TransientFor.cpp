#include "platform/x11/X11TransientFor.h"

#include <xcb/xcb.h>

namespace vantora::platform {

void setTransientFor(xcb_connection_t *connection, quint32 dialog, quint32 owner)
{
    if (!connection)
        return;
    const xcb_window_t window = owner;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, dialog, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                        &window);
    xcb_flush(connection);
}

} // namespace vantora::platform
