#include "platform/https/PinnedExchange.h"

#include "platform/https/BridgeIdentityMismatch.h"
#include "platform/https/ReplyErrorClassification.h"

#include <QSslConfiguration>

namespace vantora::platform {

using runtime::NetworkError;
using runtime::NetworkErrorCode;

PinnedExchange::PinnedExchange(BridgeTrustPolicy policy, RequestTimeouts timeouts, std::function<void()> onTrustRefused)
    : m_policy(std::move(policy))
    , m_onTrustRefused(std::move(onTrustRefused))
    , m_deadlines(timeouts)
{
}

PinnedExchange::~PinnedExchange()
{
    // Releasing the reply aborts it, and an aborted reply reports that it finished: that
    // report must not reach this half-destroyed object.
    m_deadlines.stop();
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
    connect(watched, &QNetworkReply::finished, this, &PinnedExchange::complete);
    m_deadlines.watch(watched);
}

void PinnedExchange::cancel()
{
    m_deadlines.stop();
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

void PinnedExchange::complete()
{
    m_deadlines.stop();
    if (m_refusal == TrustRefusal::identity) {
        m_done->fail(BridgeIdentityMismatch());
        return;
    }
    if (m_refusal == TrustRefusal::certificate) {
        m_done->fail(NetworkError(NetworkErrorCode::serverCertificateUntrusted,
                                  QStringLiteral("the bridge's certificate was refused")));
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

} // namespace vantora::platform
