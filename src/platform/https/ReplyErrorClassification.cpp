#include "platform/https/ReplyErrorClassification.h"

#include <QMetaEnum>

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

HttpHeaders headersOf(const QNetworkReply &reply)
{
    HttpHeaders headers;
    for (const auto &[name, value] : reply.rawHeaderPairs())
        headers.push_back({name, value});
    return headers;
}

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

HttpResponse finishedResponse(QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // An informational status only announces the answer, so a connection that ended after one
    // never gave it. Newer Qt reports it so; older Qt hands the interim status over as final.
    if (status.isValid() && status.toInt() < 200)
        throw runtime::NetworkError(Code::networkConnectionLost, QStringLiteral("RemoteHostClosedError"));
    if (status.isValid() && restatesHttpStatus(reply.error()))
        return HttpResponse{status.toInt(), headersOf(reply), reply.readAll()};
    const auto name = QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply.error());
    throw runtime::NetworkError(networkErrorCodeFor(reply.error()), QString::fromLatin1(name));
}

} // namespace vantora::platform
