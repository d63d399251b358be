#include "ReplyErrorClassification.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantora::platform {

namespace {

using Code = runtime::NetworkErrorCode;
using QtError = QNetworkReply::NetworkError;

// Anything not listed is an answer no bridge should give: a protocol failure, a redirect
// error, or an HTTP error that arrived without its status.
constexpr std::array<std::pair<QtError, Code>, 16> codeForQtError{{
    {QtError::ConnectionRefusedError, Code::cannotConnectToHost},
    {QtError::RemoteHostClosedError, Code::networkConnectionLost},
    {QtError::HostNotFoundError, Code::cannotFindHost},
    {QtError::TimeoutError, Code::timedOut},
    {QtError::OperationCanceledError, Code::other},
    {QtError::SslHandshakeFailedError, Code::secureConnectionFailed},
    {QtError::TemporaryNetworkFailureError, Code::notConnectedToInternet},
    {QtError::NetworkSessionFailedError, Code::notConnectedToInternet},
    {QtError::BackgroundRequestNotAllowedError, Code::notConnectedToInternet},
    // Unreachable networks must start the same recovery as a refused connection.
    {QtError::UnknownNetworkError, Code::cannotConnectToHost},
    // Requests never go through a proxy; should one appear anyway, it is nobody's fault
    // on the bridge's side.
    {QtError::ProxyConnectionRefusedError, Code::other},
    {QtError::ProxyConnectionClosedError, Code::other},
    {QtError::ProxyNotFoundError, Code::other},
    {QtError::ProxyTimeoutError, Code::other},
    {QtError::ProxyAuthenticationRequiredError, Code::other},
    {QtError::UnknownProxyError, Code::other},
}};

} // namespace

runtime::NetworkErrorCode networkErrorCodeFor(QNetworkReply::NetworkError error)
{
    const auto it = std::find_if(codeForQtError.begin(), codeForQtError.end(),
                                 [error](const auto &entry) { return entry.first == error; });
    if (it == codeForQtError.end())
        return Code::badServerResponse;
    return it->second;
}

bool restatesHttpStatus(QNetworkReply::NetworkError error)
{
    // Qt numbers the failures of the connection itself below its proxy errors.
    const bool connectionFailed = error > QtError::NoError && error <= QtError::UnknownNetworkError;
    return !connectionFailed && error != QtError::ProtocolFailure;
}

} // namespace vantora::platform
