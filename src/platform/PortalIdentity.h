#pragma once

#include <QDBusConnection>
#include <QString>

namespace vantora::platform {

// Who the desktop portal takes us for. A program outside a sandbox is known to the portal by
// the service manager's unit it runs in, where that unit names it; started any other way
// (from a terminal, by some desktops' autostart) it has no id, and then GNOME binds no
// shortcut for it and Plasma lists its shortcuts under a raw token.
enum class PortalIdentity : quint8 {
    // Not stated: the portal has no registry (before 1.19) or was not asked; it goes by the unit.
    unstated,
    // The portal knows us by our application id.
    registered,
    // The portal turned the id down: it finds no launcher (.desktop file) of that name.
    refused,
};

// Tells the portal on `bus` our application id, so that it names us by it. The portal fixes a
// connection's id at its first call, so this must come first on the connection every portal
// call of ours and of Qt's goes through (Qt reads the portal's settings while the application
// object is built). Waits for the answer: the bus starts the portal on demand, in well under a
// second. A refusal is written to the log with the portal's reason.
PortalIdentity registerWithPortal(const QDBusConnection &bus, const QString &applicationId);

} // namespace vantora::platform
