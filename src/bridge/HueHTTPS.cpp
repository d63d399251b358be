#include "bridge/HueHTTPS.h"

#include "bridge/HueError.h"
#include "platform/https/BridgeIdentityMismatch.h"
#include "platform/https/TrustAnchorsError.h"

#include <QHostAddress>

namespace vantora {

namespace {

platform::TrustAnchors loadRoots(const QString &path)
{
    try {
        return platform::TrustAnchors::load(path);
    } catch (const platform::TrustAnchorsError &error) {
        // A file that cannot be read is a fault of this machine, not of the bridge's
        // answer, and keeps its own error.
        if (error.reason() == platform::TrustAnchorsError::Reason::unreadable)
            throw;
        throw HueError::invalidResponse();
    }
}

} // namespace

HueHTTPS::HueHTTPS(const BridgeAddress &address, std::optional<QString> expectedBridgeID, const QString &rootsPath)
    : m_session(QHostAddress(address.host), std::move(expectedBridgeID), loadRoots(rootsPath))
{
}

runtime::Task<platform::HttpResponse> HueHTTPS::data(platform::HttpRequest request)
{
    try {
        platform::HttpResponse response = co_await m_session.send(std::move(request));
        co_return response;
    } catch (const platform::BridgeIdentityMismatch &) {
        throw HueError::bridgeIdentityChanged();
    }
}

} // namespace vantora
