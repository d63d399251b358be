#include "platform/keyring/KeyringErrorClassification.h"

#include <gio/gio.h>
#include <libsecret/secret.h>

namespace vantora::platform {
namespace {

SecretFailure classifySecretError(int code)
{
    switch (code) {
    case SECRET_ERROR_IS_LOCKED:
        return SecretFailure::locked;
    // The service sent something that is not a valid secret for the item.
    case SECRET_ERROR_PROTOCOL:
        return SecretFailure::malformedItem;
    default:
        return SecretFailure::other;
    }
}

SecretFailure classifyDBusError(int code)
{
    switch (code) {
    // Nobody owns the service's name and the bus could not start anyone for it.
    case G_DBUS_ERROR_SERVICE_UNKNOWN:
    case G_DBUS_ERROR_NAME_HAS_NO_OWNER:
    case G_DBUS_ERROR_SPAWN_EXEC_FAILED:
    case G_DBUS_ERROR_SPAWN_FORK_FAILED:
    case G_DBUS_ERROR_SPAWN_CHILD_EXITED:
    case G_DBUS_ERROR_SPAWN_CHILD_SIGNALED:
    case G_DBUS_ERROR_SPAWN_FAILED:
    case G_DBUS_ERROR_SPAWN_SETUP_FAILED:
    case G_DBUS_ERROR_SPAWN_CONFIG_INVALID:
    case G_DBUS_ERROR_SPAWN_SERVICE_INVALID:
    case G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND:
    case G_DBUS_ERROR_SPAWN_PERMISSIONS_INVALID:
    case G_DBUS_ERROR_SPAWN_FILE_INVALID:
    case G_DBUS_ERROR_SPAWN_NO_MEMORY:
    // The bus started a service that never took the name in the bus's time (a reply that is
    // late comes as NO_REPLY, or the client's own TIMED_OUT, instead).
    case G_DBUS_ERROR_TIMED_OUT:
        return SecretFailure::noService;
    default:
        return SecretFailure::busFailure;
    }
}

SecretFailure classifyIoError(int code)
{
    switch (code) {
    // The bus itself cannot be reached: no socket, nobody listening, or the link dropped.
    case G_IO_ERROR_NOT_FOUND:
    case G_IO_ERROR_CONNECTION_REFUSED:
    case G_IO_ERROR_CONNECTION_CLOSED:
    case G_IO_ERROR_CLOSED:
        return SecretFailure::noService;
    // A call that timed out, or a remote error GLib has no code for.
    case G_IO_ERROR_TIMED_OUT:
    case G_IO_ERROR_DBUS_ERROR:
        return SecretFailure::busFailure;
    default:
        return SecretFailure::other;
    }
}

} // namespace

SecretFailure classifyKeyringError(std::uint32_t domain, int code)
{
    if (domain == SECRET_ERROR)
        return classifySecretError(code);
    if (domain == G_DBUS_ERROR)
        return classifyDBusError(code);
    if (domain == G_IO_ERROR)
        return classifyIoError(code);
    return SecretFailure::other;
}

} // namespace vantora::platform
