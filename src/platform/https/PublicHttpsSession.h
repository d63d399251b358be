#pragma once

#include "platform/https/HttpResponse.h"
#include "platform/https/RequestTimeouts.h"

#include "runtime/Task.h"

#include <QList>
#include <QSslCertificate>
#include <QUrl>

namespace vantora::platform {

// Fetches documents from public web servers over HTTPS with the trust the system gives: the
// system's roots, and a certificate that names the host. A refused certificate is never
// overridden, and nothing of the bridge's pinned trust applies. Every fetch gets a network
// stack of its own, which ends with it.
class PublicHttpsSession final {
public:
    struct Limits {
        RequestTimeouts timeouts;
        // A body of this many bytes or more is refused; the transfer stops as soon as the
        // announced length or the bytes received reach it.
        qint64 maximumBodySize = 0;
    };

    explicit PublicHttpsSession(Limits limits);

    // GETs `url` and returns the response for any HTTP status. Redirects are followed, but
    // only to https. Throws:
    // - CancellationError when the calling task is cancelled (the transfer is aborted);
    // - NetworkError(timedOut) when a time limit passes;
    // - NetworkError(badServerResponse) for a body that reaches the size limit, or a redirect
    //   away from https;
    // - NetworkError(other) for a URL that is not https (nothing is sent then);
    // - otherwise the NetworkError that classifies the transport or TLS failure.
    // The session must outlive the task.
    runtime::Task<HttpResponse> get(QUrl url) const;

#ifdef VANTORA_TEST_HOOKS
    // Roots trusted besides the system's, such as the CA of a local test server.
    void setExtraRootsForTesting(QList<QSslCertificate> roots) { m_extraRoots = std::move(roots); }
#endif

private:
    Limits m_limits;
    QList<QSslCertificate> m_extraRoots;
};

} // namespace vantora::platform
