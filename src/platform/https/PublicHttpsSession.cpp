#include "platform/https/PublicHttpsSession.h"

#include "platform/https/NetworkReplyPtr.h"
#include "platform/https/ReplyDeadlines.h"
#include "platform/https/ReplyErrorClassification.h"

#include "runtime/ExternalWait.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace vantora::platform {

namespace {

using runtime::NetworkError;
using runtime::NetworkErrorCode;

// Watches one reply: its time limits and the size of its body.
class PublicExchange final {
public:
    PublicExchange(RequestTimeouts timeouts, qint64 maximumBodySize)
        : m_deadlines(timeouts)
        , m_maximumBodySize(maximumBodySize)
    {
    }

    ~PublicExchange()
    {
        m_deadlines.stop();
        if (m_reply)
            QObject::disconnect(m_reply.get(), nullptr, &m_context, nullptr);
    }

    void start(NetworkReplyPtr reply, runtime::Completer<HttpResponse> done)
    {
        m_reply = std::move(reply);
        m_done = std::move(done);
        QNetworkReply *watched = m_reply.get();
        QObject::connect(watched, &QNetworkReply::downloadProgress, &m_context,
                         [this](qint64 received, qint64 announced) { checkSize(std::max(received, announced)); });
        // A length announced in the headers is refused before any of the body arrives, not
        // after a server that sends nothing more has run out the idle limit.
        QObject::connect(watched, &QNetworkReply::metaDataChanged, &m_context, [this] {
            if (const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader); announced.isValid())
                checkSize(announced.toLongLong());
        });
        QObject::connect(watched, &QNetworkReply::finished, &m_context, [this] { complete(); });
        m_deadlines.watch(watched);
    }

    void cancel()
    {
        m_deadlines.stop();
        if (m_reply)
            m_reply->abort();
    }

private:
    void checkSize(qint64 bytes)
    {
        if (bytes < m_maximumBodySize || m_tooLarge)
            return;
        m_tooLarge = true;
        m_reply->abort();
    }

    void complete()
    {
        m_deadlines.stop();
        if (m_tooLarge) {
            m_done->fail(NetworkError(NetworkErrorCode::badServerResponse,
                                      QStringLiteral("the body reached %1 bytes").arg(m_maximumBodySize)));
            return;
        }
        if (const std::optional<NetworkError> expiry = m_deadlines.expiry()) {
            m_done->fail(*expiry);
            return;
        }
        try {
            m_done->resolve(finishedResponse(*m_reply));
        } catch (const NetworkError &failure) {
            m_done->fail(failure);
        }
    }

    QObject m_context;
    ReplyDeadlines m_deadlines;
    qint64 m_maximumBodySize;
    bool m_tooLarge = false;
    std::optional<runtime::Completer<HttpResponse>> m_done;
    NetworkReplyPtr m_reply;
};

} // namespace

PublicHttpsSession::PublicHttpsSession(Limits limits)
    : m_limits(limits)
{
}

runtime::Task<HttpResponse> PublicHttpsSession::get(QUrl url) const
{
    if (url.scheme() != QLatin1String("https"))
        throw NetworkError(NetworkErrorCode::other, QStringLiteral("not an https URL"));

    QNetworkRequest request(url);
    // Following a redirect from https to http would hand the answer to anyone on the way.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_extraRoots.isEmpty())
        tls.addCaCertificates(m_extraRoots);
    request.setSslConfiguration(tls);

    QNetworkAccessManager manager;
    PublicExchange exchange(m_limits.timeouts, m_limits.maximumBodySize);
    runtime::ExternalWait<HttpResponse> reply(
        [&](runtime::Completer<HttpResponse> done) { exchange.start(NetworkReplyPtr(manager.get(request)), std::move(done)); },
        [&exchange] { exchange.cancel(); });
    HttpResponse response = co_await reply;
    co_return response;
}

} // namespace vantora::platform
