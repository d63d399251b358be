// How every kind of failure is shown, which issue it leaves and what it does to the
// connection's health, recorded on a store whose connection was verified just before.
#include "StoreRig.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantora::testing {
namespace {

using runtime::NetworkError;
using runtime::NetworkErrorCode;

const QString unreachable = QStringLiteral(
    "Can’t reach your Bridge. Check that your computer is on the same network as your Bridge, then try again.");
const QString unverified = QStringLiteral(
    "The Bridge’s identity couldn’t be verified. Check its IP address and update its firmware in the Hue app.");

enum class Health { kept, lost };
enum class Authorization { unchanged, required };

struct FailureRow {
    const char *name;
    std::exception_ptr error;
    AppFailureKind kind;
    QString message;
    std::optional<QString> issueCode;
    Health health;
    Authorization authorization;
    bool connectivityFailure;
};

template <typename Error>
std::exception_ptr errorOf(Error error)
{
    return std::make_exception_ptr(std::move(error));
}

std::exception_ptr network(NetworkErrorCode code)
{
    return errorOf(NetworkError(code, QStringLiteral("detail that is never shown")));
}

TEST(FailureTable, EveryFailureHasItsKindMessageIssueAndEffectOnTheConnection)
{
    const FailureRow rows[] = {
        {"timed out", network(NetworkErrorCode::timedOut), AppFailureKind::connection, unreachable, {}, Health::lost, Authorization::unchanged, true},
        {"host not found", network(NetworkErrorCode::cannotFindHost), AppFailureKind::connection, unreachable, {}, Health::lost, Authorization::unchanged, true},
        {"connection refused", network(NetworkErrorCode::cannotConnectToHost), AppFailureKind::connection, unreachable, {}, Health::lost, Authorization::unchanged, true},
        {"connection lost", network(NetworkErrorCode::networkConnectionLost), AppFailureKind::connection, unreachable, {}, Health::lost, Authorization::unchanged, true},
        {"offline", network(NetworkErrorCode::notConnectedToInternet), AppFailureKind::connection, unreachable, {}, Health::lost, Authorization::unchanged, true},
        {"TLS failed", network(NetworkErrorCode::secureConnectionFailed), AppFailureKind::connection, unverified, {}, Health::lost, Authorization::unchanged, false},
        {"untrusted certificate", network(NetworkErrorCode::serverCertificateUntrusted), AppFailureKind::connection, unverified, {}, Health::lost, Authorization::unchanged, false},
        {"expired certificate", network(NetworkErrorCode::serverCertificateHasBadDate), AppFailureKind::connection, unverified, {}, Health::lost, Authorization::unchanged, false},
        {"unknown root", network(NetworkErrorCode::serverCertificateHasUnknownRoot), AppFailureKind::connection, unverified, {}, Health::lost, Authorization::unchanged, false},
        {"certificate not yet valid", network(NetworkErrorCode::serverCertificateNotYetValid), AppFailureKind::connection, unverified, {}, Health::lost, Authorization::unchanged, false},
        {"bad server response", network(NetworkErrorCode::badServerResponse), AppFailureKind::connection, QStringLiteral("The Bridge sent a response that couldn’t be read."), {}, Health::lost, Authorization::unchanged, false},
        {"other network failure", network(NetworkErrorCode::other), AppFailureKind::connection, QStringLiteral("The network request failed."), {}, Health::lost, Authorization::unchanged, false},
        {"HTTP 503", errorOf(HueError::http(503)), AppFailureKind::connection, HueError::http(503).errorDescription(), {}, Health::kept, Authorization::unchanged, false},
        {"bridge API error", errorOf(HueError::api(QStringLiteral("<b>busy</b>"))), AppFailureKind::connection, QStringLiteral("Hue Bridge: <b>busy</b>"), {}, Health::kept, Authorization::unchanged, false},
        {"refused key", errorOf(HueError::unauthorized()), AppFailureKind::connection, HueError::unauthorized().errorDescription(), {}, Health::lost, Authorization::required, false},
        {"another bridge", errorOf(HueError::bridgeIdentityChanged()), AppFailureKind::connection, HueError::bridgeIdentityChanged().errorDescription(), {}, Health::lost, Authorization::unchanged, true},
        {"already connected", errorOf(HueError::bridgeAlreadyConnected()), AppFailureKind::connection, HueError::bridgeAlreadyConnected().errorDescription(), {}, Health::kept, Authorization::unchanged, false},
        {"saved bridge not found", errorOf(HueError::savedBridgeNotFound()), AppFailureKind::connection, HueError::savedBridgeNotFound().errorDescription(), {}, Health::lost, Authorization::unchanged, false},
        {"discovery unavailable", errorOf(HueError::discoveryUnavailable()), AppFailureKind::connection, HueError::discoveryUnavailable().errorDescription(), {}, Health::kept, Authorization::unchanged, false},
        {"link button", errorOf(HueError::linkButtonNotPressed()), AppFailureKind::pairing, HueError::linkButtonNotPressed().errorDescription(), {}, Health::kept, Authorization::unchanged, false},
        {"invalid address", errorOf(HueError::invalidAddress()), AppFailureKind::invalidAddress, HueError::invalidAddress().errorDescription(), {}, Health::kept, Authorization::unchanged, false},
        {"keyring locked", errorOf(HueError::keychain(-1002)), AppFailureKind::unexpected, HueError::keychain(-1002).errorDescription(), QStringLiteral("keychain--1002"), Health::kept, Authorization::unchanged, false},
        {"unexpected response", errorOf(HueError::invalidResponse()), AppFailureKind::unexpected, HueError::invalidResponse().errorDescription(), QStringLiteral("invalid-bridge-response"), Health::kept, Authorization::unchanged, false},
        {"undecodable reply", errorOf(runtime::DecodingError(QStringLiteral("data[0].on"), QStringLiteral("missing"))), AppFailureKind::unexpected, QStringLiteral("The data couldn’t be read because it isn’t in the correct format."), QStringLiteral("response-decoding-failed"), Health::kept, Authorization::unchanged, false},
        {"unknown error", errorOf(std::runtime_error("key application-key-1 at 192.168.1.20")), AppFailureKind::unexpected, QStringLiteral("The operation couldn’t be completed."), QStringLiteral("unexpected-error"), Health::kept, Authorization::unchanged, false},
    };

    for (const FailureRow &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        rig.storage.save(sampleConnection());
        rig.lights->snapshots.thenReturn(HueSnapshot::demo());
        HalvetStore &store = rig.build();
        rig.start(store.refresh());
        ASSERT_TRUE(store.hasVerifiedConnection());

        store.recordFailure(row.error, AppIssue::Operation::refresh, QStringLiteral("light-1"), LightChange{true});

        EXPECT_EQ(store.failureKind(), row.kind);
        EXPECT_EQ(store.errorMessage(), row.message);
        EXPECT_EQ(store.failedLightID(), QStringLiteral("light-1"));
        EXPECT_EQ(store.failedLightChange(), LightChange{true});
        EXPECT_EQ(store.unexpectedIssue().has_value(), row.issueCode.has_value());
        if (store.unexpectedIssue() && row.issueCode) {
            EXPECT_EQ(store.unexpectedIssue()->code, *row.issueCode);
            EXPECT_EQ(store.unexpectedIssue()->operation, AppIssue::Operation::refresh);
            EXPECT_EQ(store.unexpectedIssue()->date, rig.harness.clock.wallNow());
        }
        EXPECT_EQ(store.hasVerifiedConnection(), row.health == Health::kept);
        EXPECT_EQ(store.needsConnectionRecovery(), row.health == Health::lost);
        EXPECT_EQ(store.requiresAuthorization(), row.authorization == Authorization::required);
        EXPECT_EQ(HalvetStore::isConnectivityFailure(row.error), row.connectivityFailure);
        EXPECT_FALSE(HalvetStore::isCancellation(row.error));
        EXPECT_EQ(HalvetStore::describe(row.error), row.message);
    }
}

TEST(FailureTable, ALostConnectionWithoutASavedOneNeedsNoRecovery)
{
    StoreRig rig;
    rig.storage.failWith(MemoryConnectionStorage::Operation::load, HueError::keychain(-1001));
    HalvetStore &store = rig.build();
    ASSERT_EQ(store.failureKind(), AppFailureKind::unexpected);

    store.recordFailure(network(NetworkErrorCode::timedOut), AppIssue::Operation::refresh);

    EXPECT_FALSE(store.hasVerifiedConnection());
    EXPECT_FALSE(store.needsConnectionRecovery());
    EXPECT_FALSE(store.unexpectedIssue()) << "an expected failure replaces the earlier issue";
}

TEST(FailureTable, CancellationIsNeverAFailure)
{
    const std::exception_ptr cancellation = std::make_exception_ptr(runtime::CancellationError{});
    EXPECT_TRUE(HalvetStore::isCancellation(cancellation));
    EXPECT_EQ(HalvetStore::describe(cancellation), QStringLiteral("Request cancelled."));
    EXPECT_FALSE(HalvetStore::isConnectivityFailure(cancellation));
}

} // namespace
} // namespace vantora::testing
