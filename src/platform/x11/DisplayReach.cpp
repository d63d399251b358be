#include "platform/x11/DisplayReach.h"

#include <QDir>
#include <QFile>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vantora::platform {

namespace {

bool reachesX(const QString &displayName)
{
    if (displayName.isEmpty())
        return false;
    xcb_connection_t *connection = xcb_connect(displayName.toLocal8Bit().constData(), nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

bool reachesWayland(const QProcessEnvironment &environment)
{
    QString socketPath = environment.value(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    if (!QDir::isAbsolutePath(socketPath)) {
        const QString runtimeFolder = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
        if (runtimeFolder.isEmpty())
            return false;
        socketPath = runtimeFolder + u'/' + socketPath;
    }
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const bool connected = ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(socket);
    return connected;
}

} // namespace

bool reachesADisplay(const QProcessEnvironment &environment)
{
    return reachesX(environment.value(QStringLiteral("DISPLAY"))) || reachesWayland(environment);
}

} // namespace vantora::platform
