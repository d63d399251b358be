#pragma once

#include "bridge/BridgeAddress.h"
#include "bridge/HueTransport.h"
#include "platform/https/PinnedHttpsSession.h"
#include "platform/https/TrustAnchors.h"

#include <QString>

#include <optional>

namespace vantora {

// The transport to a real bridge: HTTPS to the bridge's address only, trusting a
// certificate only when it chains to the pinned roots and names a bridge id (the expected
// one, once the bridge is paired). Every request gets a network stack of its own.
class HueHTTPS final : public HueTransport {
public:
    // Without an expected id any bridge whose certificate passes is accepted; the id is
    // compared case-insensitively. Reads the roots from `rootsPath`. Throws HueError::invalidResponse
    // when that file is missing or holds no usable certificate, and
    // platform::TrustAnchorsError (unreadable) when it cannot be read as UTF-8 text.
    HueHTTPS(const BridgeAddress &address, std::optional<QString> expectedBridgeID,
             const QString &rootsPath = platform::TrustAnchors::bundledPath());

    // Returns the response for any status, redirects included (they are never followed).
    // Throws CancellationError when the calling task is cancelled, whatever else happened;
    // HueError::bridgeIdentityChanged when the certificate names another bridge than the
    // expected one; NetworkError(serverCertificateUntrusted) for any other refused
    // certificate; otherwise the NetworkError of the failed exchange.
    runtime::Task<platform::HttpResponse> data(platform::HttpRequest request) override;

#ifdef VANTORA_TEST_HOOKS
    // The fake bridge cannot listen on 443.
    void setTestPort(quint16 port) { m_session.setTestHooks({port, {}}); }
#endif

private:
    platform::PinnedHttpsSession m_session;
};

} // namespace vantora
