#include "PinnedExchange.h"

#include "BridgeIdentityMismatch.h"
#include "ReplyErrorClassification.h"

#include <QMetaEnum>
#include <QSslConfiguration>

namespace vantora::platform {

namespace {

using runtime::NetworkError;
using runtime::NetworkErrorCode;

// Only Qt's own name for the failure: its error strings quote the URL, and nothing from
// the request belongs in an error.
QString describe(QNetworkReply::NetworkError error)
{
    return QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(error));
}

HttpHeaders headersOf(const QNetworkReply &reply)
{
    HttpHeaders headers;
    for (const auto &[name, value] : reply.rawHeaderPairs())
        headers.push_back({name, value});
    return headers;
}

} // namespace

PinnedExchange::PinnedExchange(BridgeTrustPolicy policy, RequestTimeouts timeouts, std::function<void()> onTrustRefused)
    : m_policy(std::move(policy))
    , m_timeouts(timeouts)
    , m_onTrustRefused(std::move(onTrustRefused))
{
    m_idleTimer.setSingleShot(true);
    m_totalTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] { expire(ExpiredLimit::idle); });
    connect(&m_totalTimer, &QTimer::timeout, this, [this] { expire(ExpiredLimit::total); });
}

PinnedExchange::~PinnedExchange()
{
    // Releasing the reply aborts it, and an aborted reply reports that it finished: that
    // report must not reach this half-destroyed object.
    if (m_reply)
        disconnect(m_reply.get(), nullptr, this, nullptr);
}

void PinnedExchange::start(NetworkReplyPtr reply, runtime::Completer<HttpResponse> done)
{
    m_reply = std::move(reply);
    m_done = std::move(done);
    QNetworkReply *watched = m_reply.get();
    connect(watched, &QNetworkReply::sslErrors, this, &PinnedExchange::checkHandshakeErrors);
    connect(watched, &QNetworkReply::encrypted, this, &PinnedExchange::checkEncryptedPeer);
    connect(watched, &QNetworkReply::uploadProgress, this, [this] { m_idleTimer.start(); });
    connect(watched, &QNetworkReply::downloadProgress, this, [this] { m_idleTimer.start(); });
    connect(watched, &QNetworkReply::finished, this, &PinnedExchange::complete);
    m_idleTimer.start(m_timeouts.idle);
    m_totalTimer.start(m_timeouts.total);
}

void PinnedExchange::cancel()
{
    m_idleTimer.stop();
    m_totalTimer.stop();
    if (m_reply)
        m_reply->abort();
}

void PinnedExchange::checkHandshakeErrors(const QList<QSslError> &errors)
{
    const QSslCertificate leaf = m_reply->sslConfiguration().peerCertificate();
    if (auto refusal = m_policy.checkErrors(leaf, errors)) {
        // Not ignoring the errors is what stops the handshake.
        refuse(*refusal);
        return;
    }
    m_reply->ignoreSslErrors(errors);
}

void PinnedExchange::checkEncryptedPeer()
{
    // A certificate that raises no error at all (one listing the address as a subject
    // alternative name) never reaches checkHandshakeErrors; its name is checked here,
    // before the request is written.
    if (auto refusal = m_policy.checkLeaf(m_reply->sslConfiguration().peerCertificate())) {
        refuse(*refusal);
        m_reply->abort();
    }
}

void PinnedExchange::refuse(TrustRefusal refusal)
{
    m_refusal = refusal;
    if (m_onTrustRefused)
        m_onTrustRefused();
}

void PinnedExchange::expire(ExpiredLimit limit)
{
    m_expired = limit;
    m_reply->abort();
}

void PinnedExchange::complete()
{
    m_idleTimer.stop();
    m_totalTimer.stop();
    const QNetworkReply &reply = *m_reply;

    if (m_refusal == TrustRefusal::identity) {
        m_done->fail(BridgeIdentityMismatch());
        return;
    }
    if (m_refusal == TrustRefusal::certificate) {
        m_done->fail(NetworkError(NetworkErrorCode::serverCertificateUntrusted,
                                  QStringLiteral("the bridge's certificate was refused")));
        return;
    }
    if (m_expired) {
        const auto limit = m_expired == ExpiredLimit::idle ? m_timeouts.idle : m_timeouts.total;
        const QString which = m_expired == ExpiredLimit::idle ? QStringLiteral("no progress for")
                                                              : QStringLiteral("the request took more than");
        m_done->fail(NetworkError(NetworkErrorCode::timedOut,
                                  QStringLiteral("%1 %2 ms").arg(which).arg(limit.count())));
        return;
    }

    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && restatesHttpStatus(reply.error())) {
        m_done->resolve(HttpResponse{status.toInt(), headersOf(reply), m_reply->readAll()});
        return;
    }
    m_done->fail(NetworkError(networkErrorCodeFor(reply.error()), describe(reply.error())));
}

} // namespace vantora::platform
