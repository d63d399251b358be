#pragma once

#include <QtGlobal>

struct xcb_connection_t;

namespace vantora::platform {

// Tells the window manager that the shown `dialog` belongs to `owner`, whose X11 window the
// toolkit has made anew (a window's type changed): the toolkit names a dialog's owner only as
// the dialog shows, and a dialog tied to a window that is gone is stacked as a stranger, under
// the very window it blocks. Sent on the toolkit's own `connection`, after its requests for
// the owner's new window, so that the window manager knows that window when it reads this.
// Does nothing without a connection.
void setTransientFor(xcb_connection_t *connection, quint32 dialog, quint32 owner);

} // namespace vantora::platform
