#include "store/FailureClassification.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace vantora {

namespace {

using runtime::NetworkErrorCode;
using Kind = HueError::Kind;

QString translated(const char *text)
{
    return QCoreApplication::translate("vantora::HalvetStore", text);
}

// Whether a reconnection may repair the failure.
enum class Reachability { lost, unaffected };

// What the user is told about a network failure.
enum class NetworkMessage { unreachable, unverifiedIdentity, unreadableResponse, failedRequest };

struct NetworkFailureRule {
    NetworkErrorCode code;
    Reachability reachability;
    NetworkMessage message;
};

// Every network failure the transport reports, one row per code, and how the store treats
// it. Every one of them is shown as a connection failure, counts as a lost connection and
// leaves no issue. A cancelled request never arrives here: the transport reports it as
// runtime::CancellationError.
constexpr NetworkFailureRule networkFailureRules[] = {
    // code                                            reachability               message
    {NetworkErrorCode::timedOut,                        Reachability::lost,       NetworkMessage::unreachable},
    {NetworkErrorCode::cannotFindHost,                  Reachability::lost,       NetworkMessage::unreachable},
    {NetworkErrorCode::cannotConnectToHost,             Reachability::lost,       NetworkMessage::unreachable},
    {NetworkErrorCode::networkConnectionLost,           Reachability::lost,       NetworkMessage::unreachable},
    {NetworkErrorCode::notConnectedToInternet,          Reachability::lost,       NetworkMessage::unreachable},
    {NetworkErrorCode::secureConnectionFailed,          Reachability::unaffected, NetworkMessage::unverifiedIdentity},
    {NetworkErrorCode::serverCertificateUntrusted,      Reachability::unaffected, NetworkMessage::unverifiedIdentity},
    {NetworkErrorCode::serverCertificateHasBadDate,     Reachability::unaffected, NetworkMessage::unverifiedIdentity},
    {NetworkErrorCode::serverCertificateHasUnknownRoot, Reachability::unaffected, NetworkMessage::unverifiedIdentity},
    {NetworkErrorCode::serverCertificateNotYetValid,    Reachability::unaffected, NetworkMessage::unverifiedIdentity},
    {NetworkErrorCode::badServerResponse,               Reachability::unaffected, NetworkMessage::unreadableResponse},
    {NetworkErrorCode::other,                           Reachability::unaffected, NetworkMessage::failedRequest},
};

const NetworkFailureRule &ruleFor(NetworkErrorCode code)
{
    const auto rule = std::find_if(std::begin(networkFailureRules), std::end(networkFailureRules),
                                   [code](const NetworkFailureRule &candidate) { return candidate.code == code; });
    Q_ASSERT(rule != std::end(networkFailureRules));
    return *rule;
}

QString networkMessage(NetworkMessage message)
{
    switch (message) {
    case NetworkMessage::unreachable:
        return translated("Can’t reach your Bridge. Check that your computer is on the same network "
                          "as your Bridge, then try again.");
    case NetworkMessage::unverifiedIdentity:
        return translated("The Bridge’s identity couldn’t be verified. "
                          "Check its IP address and update its firmware in the Hue app.");
    case NetworkMessage::unreadableResponse:
        return translated("The Bridge sent a response that couldn’t be read.");
    case NetworkMessage::failedRequest:
        return translated("The network request failed.");
    }
    Q_UNREACHABLE();
}

} // namespace

FailureClassification::FailureClassification(const std::exception_ptr &error)
{
    Q_ASSERT(error);
    try {
        std::rethrow_exception(error);
    } catch (const runtime::CancellationError &) {
        m_error = Cancelled{};
    } catch (const HueError &hueError) {
        m_error = hueError;
    } catch (const runtime::NetworkError &networkError) {
        m_error = networkError.code();
    } catch (const runtime::DecodingError &) {
        m_error = Undecodable{};
    } catch (...) {
        m_error = Unknown{};
    }
}

bool FailureClassification::isHueError(HueError::Kind kind) const noexcept
{
    const auto *hueError = std::get_if<HueError>(&m_error);
    return hueError && hueError->kind() == kind;
}

bool FailureClassification::isCancellation() const noexcept
{
    return std::holds_alternative<Cancelled>(m_error);
}

bool FailureClassification::isConnectivityFailure() const noexcept
{
    if (const auto *code = std::get_if<NetworkErrorCode>(&m_error))
        return ruleFor(*code).reachability == Reachability::lost;
    return isHueError(Kind::bridgeIdentityChanged);
}

bool FailureClassification::meansConnectionLost() const noexcept
{
    return std::holds_alternative<NetworkErrorCode>(m_error) || isConnectivityFailure() || isUnauthorized()
        || isHueError(Kind::savedBridgeNotFound);
}

bool FailureClassification::isUnauthorized() const noexcept
{
    return isHueError(Kind::unauthorized);
}

bool FailureClassification::meansLockedKeyring() const noexcept
{
    const auto *hueError = std::get_if<HueError>(&m_error);
    return hueError && hueError->meansLockedKeyring();
}

AppFailureKind FailureClassification::kind() const noexcept
{
    if (std::holds_alternative<NetworkErrorCode>(m_error))
        return AppFailureKind::connection;
    const auto *hueError = std::get_if<HueError>(&m_error);
    if (!hueError)
        return AppFailureKind::unexpected;
    switch (hueError->kind()) {
    case Kind::http:
    case Kind::api:
    case Kind::unauthorized:
    case Kind::bridgeIdentityChanged:
    case Kind::bridgeAlreadyConnected:
    case Kind::savedBridgeNotFound:
    case Kind::discoveryUnavailable:
        return AppFailureKind::connection;
    case Kind::linkButtonNotPressed:
        return AppFailureKind::pairing;
    case Kind::invalidAddress:
        return AppFailureKind::invalidAddress;
    case Kind::keychain:
    case Kind::invalidResponse:
        return AppFailureKind::unexpected;
    }
    Q_UNREACHABLE();
}

QString FailureClassification::message() const
{
    if (isCancellation())
        return translated("Request cancelled.");
    if (const auto *code = std::get_if<NetworkErrorCode>(&m_error))
        return networkMessage(ruleFor(*code).message);
    if (const auto *hueError = std::get_if<HueError>(&m_error))
        return hueError->errorDescription();
    if (std::holds_alternative<Undecodable>(m_error))
        return translated("The data couldn’t be read because it isn’t in the correct format.");
    return translated("The operation couldn’t be completed.");
}

std::optional<QString> FailureClassification::issueCode() const
{
    if (std::holds_alternative<NetworkErrorCode>(m_error))
        return std::nullopt;
    if (std::holds_alternative<Undecodable>(m_error))
        return QStringLiteral("response-decoding-failed");
    const auto *hueError = std::get_if<HueError>(&m_error);
    if (!hueError)
        return QStringLiteral("unexpected-error");
    switch (hueError->kind()) {
    case Kind::keychain:
        return QStringLiteral("keychain-") + QString::number(*hueError->keychainStatus());
    case Kind::invalidResponse:
        return QStringLiteral("invalid-bridge-response");
    case Kind::http:
    case Kind::api:
    case Kind::invalidAddress:
    case Kind::linkButtonNotPressed:
    case Kind::unauthorized:
    case Kind::bridgeIdentityChanged:
    case Kind::bridgeAlreadyConnected:
    case Kind::savedBridgeNotFound:
    case Kind::discoveryUnavailable:
        return std::nullopt;
    }
    Q_UNREACHABLE();
}

std::optional<QString> FailureClassification::issueExplanation() const
{
    const auto *hueError = std::get_if<HueError>(&m_error);
    if (!hueError || !(hueError->meansNoKeyring() || hueError->meansLockedKeyring()))
        return std::nullopt;
    return hueError->errorDescription();
}

} // namespace vantora
