#pragma once

#include "platform/https/TrustRefusal.h"

#include <QList>
#include <QSslCertificate>
#include <QSslError>
#include <QString>

#include <optional>

namespace vantora::platform {

// Decides whether the certificate a bridge presented may be trusted. A bridge's leaf names
// the bridge by its id in the common name, not by a host name, so the usual host-name
// check cannot apply; the chain itself is verified by TLS against the pinned roots.
class BridgeTrustPolicy final {
public:
    // Without an expected id, any bridge id in the common name is accepted (pairing).
    explicit BridgeTrustPolicy(std::optional<QString> expectedBridgeId);

    // The common-name checks alone: absent when the leaf names an acceptable bridge.
    // A leaf without exactly one common name, or whose name is not a bridge id, is a
    // certificate refusal; another bridge's id is an identity refusal.
    std::optional<TrustRefusal> checkLeaf(const QSslCertificate &leaf) const;

    // The decision on the errors TLS raised for a leaf. The common-name checks come first,
    // so a certificate naming another bridge is an identity refusal even when its chain
    // fails too; after them, a host-name mismatch is the only error that may be ignored.
    std::optional<TrustRefusal> checkErrors(const QSslCertificate &leaf, const QList<QSslError> &errors) const;

private:
    std::optional<QString> m_expectedBridgeId;
};

} // namespace vantora::platform
