#include "platform/https/BridgeTrustPolicy.h"

#include "runtime/Strings.h"

#include <algorithm>

namespace vantora::platform {

BridgeTrustPolicy::BridgeTrustPolicy(std::optional<QString> expectedBridgeId)
{
    if (expectedBridgeId)
        m_expectedBridgeId = expectedBridgeId->toLower();
}

std::optional<TrustRefusal> BridgeTrustPolicy::checkLeaf(const QSslCertificate &leaf) const
{
    if (leaf.isNull())
        return TrustRefusal::certificate;
    const QStringList commonNames = leaf.subjectInfo(QSslCertificate::CommonName);
    // Two names would leave it open which one identifies the bridge.
    if (commonNames.size() != 1 || !runtime::isBridgeId(commonNames.first()))
        return TrustRefusal::certificate;
    if (m_expectedBridgeId && commonNames.first().toLower() != *m_expectedBridgeId)
        return TrustRefusal::identity;
    return std::nullopt;
}

std::optional<TrustRefusal> BridgeTrustPolicy::checkErrors(const QSslCertificate &leaf,
                                                           const QList<QSslError> &errors) const
{
    if (auto refusal = checkLeaf(leaf))
        return refusal;
    const bool onlyHostNameMismatch = std::all_of(errors.begin(), errors.end(), [](const QSslError &error) {
        return error.error() == QSslError::HostNameMismatch;
    });
    if (!onlyHostNameMismatch)
        return TrustRefusal::certificate;
    return std::nullopt;
}

} // namespace vantora::platform
