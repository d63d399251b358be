#pragma once

#include "platform/https/BridgeTrustPolicy.h"
#include "platform/https/HttpResponse.h"
#include "platform/https/NetworkReplyPtr.h"
#include "platform/https/ReplyDeadlines.h"
#include "platform/https/RequestTimeouts.h"
#include "platform/https/TrustRefusal.h"

#include "runtime/ExternalWait.h"

#include <QObject>

#include <functional>
#include <optional>

namespace vantora::platform {

// Watches one reply to the bridge: decides trust as the handshake reports it, enforces the
// idle and total time limits, and turns the finished reply into a response or a failure.
class PinnedExchange final : public QObject {
public:
    // `onTrustRefused` runs each time a certificate is refused, before the reply ends
    // (empty: nothing runs).
    PinnedExchange(BridgeTrustPolicy policy, RequestTimeouts timeouts, std::function<void()> onTrustRefused);
    ~PinnedExchange() override;

    // Takes over a reply that was just sent. `done` is completed once, when the reply
    // finishes: with the response for any HTTP status, else with BridgeIdentityMismatch,
    // or a NetworkError (serverCertificateUntrusted for a refused certificate, timedOut
    // for an exceeded limit, else the classified transport failure).
    void start(NetworkReplyPtr reply, runtime::Completer<HttpResponse> done);

    // Aborts the reply at once. The caller's wait has already ended with its cancellation,
    // so whatever the reply reports afterwards goes nowhere.
    void cancel();

private:
    void checkHandshakeErrors(const QList<QSslError> &errors);
    void checkEncryptedPeer();
    void refuse(TrustRefusal refusal);
    void complete();

    BridgeTrustPolicy m_policy;
    std::function<void()> m_onTrustRefused;
    std::optional<TrustRefusal> m_refusal;
    ReplyDeadlines m_deadlines;
    std::optional<runtime::Completer<HttpResponse>> m_done;
    NetworkReplyPtr m_reply;
};

} // namespace vantora::platform
