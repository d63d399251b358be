#include "platform/https/PinnedHttpsSession.h"

#include "platform/https/PinnedExchange.h"

#include "runtime/ExternalWait.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace vantora::platform {

namespace {

NetworkReplyPtr sendOn(QNetworkAccessManager &manager, const QNetworkRequest &networkRequest,
                       const HttpRequest &request)
{
    if (request.body)
        return NetworkReplyPtr(manager.sendCustomRequest(networkRequest, request.method, *request.body));
    return NetworkReplyPtr(manager.sendCustomRequest(networkRequest, request.method));
}

} // namespace

PinnedHttpsSession::PinnedHttpsSession(QHostAddress bridgeHost, std::optional<QString> expectedBridgeId,
                                       TrustAnchors roots, RequestTimeouts timeouts)
    : m_bridgeHost(std::move(bridgeHost))
    , m_policy(std::move(expectedBridgeId))
    , m_roots(std::move(roots))
    , m_timeouts(timeouts)
{
}

runtime::Task<HttpResponse> PinnedHttpsSession::send(HttpRequest request) const
{
    const QNetworkRequest networkRequest = networkRequestFor(destinationOf(request.url), request.headers);

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);

    std::function<void()> onTrustRefused;
#ifdef VANTORA_TEST_HOOKS
    onTrustRefused = m_testHooks.onTrustRefused;
#endif
    PinnedExchange exchange(m_policy, m_timeouts, std::move(onTrustRefused));
    runtime::ExternalWait<HttpResponse> reply(
        [&](runtime::Completer<HttpResponse> done) {
            exchange.start(sendOn(manager, networkRequest, request), std::move(done));
        },
        [&exchange] { exchange.cancel(); });
    HttpResponse response = co_await reply;
    co_return response;
}

QUrl PinnedHttpsSession::destinationOf(const QUrl &url) const
{
    // Anything but TLS to the bridge's own address would hand the application key to
    // whoever answers. Addresses are compared as values: one IPv6 address has many spellings.
    const QHostAddress host(url.host());
    if (url.scheme() != QLatin1String("https") || host.isNull() || host != m_bridgeHost)
        throw runtime::NetworkError(runtime::NetworkErrorCode::serverCertificateUntrusted,
                                    QStringLiteral("the request is not for the bridge's address"));
#ifdef VANTORA_TEST_HOOKS
    if (m_testHooks.port) {
        QUrl onTestPort = url;
        onTestPort.setPort(*m_testHooks.port);
        return onTestPort;
    }
#endif
    return url;
}

QNetworkRequest PinnedHttpsSession::networkRequestFor(const QUrl &url, const HttpHeaders &headers) const
{
    QNetworkRequest networkRequest(url);
    for (const HttpHeader &header : headers)
        networkRequest.setRawHeader(header.name, header.value);
    // One well-trodden path: HTTP/1.1 over a fresh TLS connection.
    networkRequest.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    // Setting the list also stops Qt from loading the system's roots on demand.
    tls.setCaCertificates(m_roots.certificates());
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    networkRequest.setSslConfiguration(tls);
    return networkRequest;
}

} // namespace vantora::platform
