#include "platform/keyring/KeyringErrorClassification.h"

#include <gio/gio.h>
#include <libsecret/secret.h>

#include <gtest/gtest.h>

#include <set>

namespace vantora::platform {
namespace {

TEST(KeyringErrorClassification, sortsLibraryErrorsIntoTheirFailureClass)
{
    const struct {
        const char *name;
        GQuark domain;
        int code;
        SecretFailure expected;
    } rows[] = {
        {"bus socket missing", G_IO_ERROR, G_IO_ERROR_NOT_FOUND, SecretFailure::noService},
        {"bus socket refuses", G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, SecretFailure::noService},
        {"bus connection closed", G_IO_ERROR, G_IO_ERROR_CLOSED, SecretFailure::noService},
        {"peer closed the bus connection", G_IO_ERROR, G_IO_ERROR_CONNECTION_CLOSED, SecretFailure::noService},
        {"no such service name", G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN, SecretFailure::noService},
        {"name has no owner", G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER, SecretFailure::noService},
        {"activated service exited", G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_CHILD_EXITED, SecretFailure::noService},
        {"keyring locked", SECRET_ERROR, SECRET_ERROR_IS_LOCKED, SecretFailure::locked},
        {"invalid secret from the service", SECRET_ERROR, SECRET_ERROR_PROTOCOL, SecretFailure::malformedItem},
        {"no reply", G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY, SecretFailure::busFailure},
        {"the bus gave up starting the service", G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT, SecretFailure::noService},
        {"access denied", G_DBUS_ERROR, G_DBUS_ERROR_ACCESS_DENIED, SecretFailure::busFailure},
        {"call timed out", G_IO_ERROR, G_IO_ERROR_TIMED_OUT, SecretFailure::busFailure},
        {"remote error without a GLib code", G_IO_ERROR, G_IO_ERROR_DBUS_ERROR, SecretFailure::busFailure},
        {"collection missing", SECRET_ERROR, SECRET_ERROR_NO_SUCH_OBJECT, SecretFailure::other},
        {"unknown secret error code", SECRET_ERROR, 999, SecretFailure::other},
        {"unrelated io error", G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED, SecretFailure::other},
        {"cancelled", G_IO_ERROR, G_IO_ERROR_CANCELLED, SecretFailure::other},
        {"foreign domain", G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_NOT_FOUND, SecretFailure::other},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(classifyKeyringError(row.domain, row.code), row.expected);
    }
}

TEST(KeyringErrorClassification, everyFailureCarriesItsOwnStatus)
{
    // -25300 already means "no such item" to the callers, and 0 "answered without data",
    // which only an item without a usable secret may report.
    constexpr std::int32_t answeredWithoutData = 0;
    constexpr std::int32_t noSuchItem = -25300;
    const SecretFailure failures[] = {SecretFailure::noService, SecretFailure::locked, SecretFailure::busFailure,
                                      SecretFailure::malformedItem, SecretFailure::other};
    std::set<std::int32_t> seen;
    for (const SecretFailure failure : failures) {
        const SecretStoreError error(failure, QStringLiteral("detail"));
        SCOPED_TRACE(error.what());
        if (failure == SecretFailure::malformedItem) {
            EXPECT_EQ(error.status(), answeredWithoutData);
        } else {
            EXPECT_LT(error.status(), answeredWithoutData);
        }
        EXPECT_NE(error.status(), noSuchItem);
        EXPECT_TRUE(seen.insert(error.status()).second) << "status used twice";
    }
}

} // namespace
} // namespace vantora::platform
