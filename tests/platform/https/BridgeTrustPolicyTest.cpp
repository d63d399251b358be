#include "TestPki.h"

#include "platform/https/BridgeTrustPolicy.h"

#include <gtest/gtest.h>

using vantora::platform::BridgeTrustPolicy;
using vantora::platform::TrustRefusal;
using vantora::testing::TestLeaf;
using vantora::testing::TestPki;

namespace {

enum class Chain { trusted, broken };

QList<QSslError> errorsFor(const QSslCertificate &leaf, Chain chain)
{
    QList<QSslError> errors;
    if (chain == Chain::broken)
        errors.append(QSslError(QSslError::UnableToGetLocalIssuerCertificate, leaf));
    // A bridge's leaf names no host, so this one is always there.
    errors.append(QSslError(QSslError::HostNameMismatch, leaf));
    return errors;
}

} // namespace

TEST(BridgeTrustPolicy, NamesAreCheckedBeforeTheChain)
{
    struct Case {
        const char *name;
        std::optional<QString> expectedId;
        TestLeaf leaf;
        Chain chain;
        std::optional<TrustRefusal> expected;
    };
    const std::optional<QString> paired = QStringLiteral("001788fffe123456");
    const std::optional<QString> pairing;
    const Case cases[] = {
        {"the paired bridge", paired, TestLeaf::bridge123456, Chain::trusted, std::nullopt},
        {"the paired bridge in upper case", paired, TestLeaf::bridge123456Uppercase, Chain::trusted, std::nullopt},
        {"an expected id in upper case", QStringLiteral("001788FFFE123456"), TestLeaf::bridge123456, Chain::trusted,
         std::nullopt},
        {"any bridge while pairing", pairing, TestLeaf::bridge654321, Chain::trusted, std::nullopt},
        {"another bridge", paired, TestLeaf::bridge654321, Chain::trusted, TrustRefusal::identity},
        {"another bridge with a broken chain", paired, TestLeaf::bridge654321, Chain::broken, TrustRefusal::identity},
        {"the paired bridge with a broken chain", paired, TestLeaf::bridge123456, Chain::broken,
         TrustRefusal::certificate},
        {"a host name", pairing, TestLeaf::hostName, Chain::trusted, TrustRefusal::certificate},
        {"a host name while paired", paired, TestLeaf::hostName, Chain::trusted, TrustRefusal::certificate},
        {"fifteen characters", pairing, TestLeaf::fifteenCharacterId, Chain::trusted, TrustRefusal::certificate},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const BridgeTrustPolicy policy(c.expectedId);
        const QSslCertificate leaf = TestPki::certificate(c.leaf);
        ASSERT_FALSE(leaf.isNull());
        EXPECT_EQ(policy.checkErrors(leaf, errorsFor(leaf, c.chain)), c.expected);
    }
}

TEST(BridgeTrustPolicy, AHandshakeWithoutErrorsStillNeedsABridgeName)
{
    const BridgeTrustPolicy policy(QStringLiteral("001788fffe123456"));
    EXPECT_EQ(policy.checkErrors(TestPki::certificate(TestLeaf::bridge123456), {}), std::nullopt);
    EXPECT_EQ(policy.checkLeaf(TestPki::certificate(TestLeaf::ipSanHostName)), TrustRefusal::certificate);
    EXPECT_EQ(policy.checkLeaf(TestPki::certificate(TestLeaf::ipSanBridge654321)), TrustRefusal::identity);
    EXPECT_EQ(policy.checkLeaf(QSslCertificate()), TrustRefusal::certificate);
}
