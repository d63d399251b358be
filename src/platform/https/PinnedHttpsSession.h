#pragma once

#include "platform/https/BridgeTrustPolicy.h"
#include "platform/https/HttpRequest.h"
#include "platform/https/HttpResponse.h"
#include "platform/https/RequestTimeouts.h"
#include "platform/https/TrustAnchors.h"

#include "runtime/Task.h"

#include <QHostAddress>
#include <QString>

#include <functional>
#include <optional>

class QNetworkRequest;

namespace vantora::platform {

// Sends requests to one bridge over HTTPS, trusting only what a bridge may present: a
// leaf that chains to the pinned roots and names a bridge id in its common name (the
// expected one, when the bridge was paired). Every request gets a network stack of its
// own, which ends with it: nothing (connections, TLS sessions, cookies, caches) is shared
// between requests, no proxy ever sees them, and redirects are returned, never followed.
class PinnedHttpsSession final {
public:
    // `bridgeHost` is the only address requests may go to. Without an expected id any
    // bridge whose certificate passes is accepted; the id is compared case-insensitively.
    PinnedHttpsSession(QHostAddress bridgeHost, std::optional<QString> expectedBridgeId, TrustAnchors roots,
                       RequestTimeouts timeouts = {});

    // Sends one request and returns the response for any HTTP status, body included.
    // Throws:
    // - CancellationError when the calling task is cancelled (the request is aborted at
    //   once, whatever else happened to it);
    // - BridgeIdentityMismatch when the leaf names another bridge than the expected one,
    //   even if its chain fails too;
    // - NetworkError(serverCertificateUntrusted) for any other refused certificate, and
    //   for a request that is not https to the bridge's address (nothing is sent then);
    // - NetworkError(timedOut) when a time limit passes; otherwise the NetworkError that
    //   classifies the transport failure.
    // No error quotes the request's headers or body. The session must outlive the task.
    runtime::Task<HttpResponse> send(HttpRequest request) const;

#ifdef VANTORA_TEST_HOOKS
    struct TestHooks {
        // The fake bridge cannot listen on 443.
        std::optional<quint16> port;
        // Runs when a certificate is refused, before the reply ends.
        std::function<void()> onTrustRefused;
    };
    void setTestHooks(TestHooks hooks) { m_testHooks = std::move(hooks); }
#endif

private:
    QUrl destinationOf(const QUrl &url) const;
    QNetworkRequest networkRequestFor(const QUrl &url, const HttpHeaders &headers) const;

    QHostAddress m_bridgeHost;
    BridgeTrustPolicy m_policy;
    TrustAnchors m_roots;
    RequestTimeouts m_timeouts;
#ifdef VANTORA_TEST_HOOKS
    TestHooks m_testHooks;
#endif
};

} // namespace vantora::platform
