#pragma once

#include <QDBusConnection>
#include <QString>

#include <functional>

class QObject;

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

// Tells the portal on `bus` whose unique name is `portal` our application id, so that it names
// us by it, and hands what it made of that to `told` once it answers, however long that takes
// (a portal slow at login still names us right); nothing runs once `context` is gone, which
// ends the wait where the portal goes. The portal fixes a connection's id at the connection's
// first portal call and forgets it when it restarts: the id must go first on a connection of
// its own (Qt makes portal calls of its own on the shared one while the application object is
// built), and again to every new portal. A refusal is written to the log with the portal's reason.
void tellPortalOurId(const QDBusConnection &bus, const QString &portal, const QString &applicationId, QObject *context,
                     std::function<void(PortalIdentity)> told);

} // namespace vantora::platform
