#include "TestPki.h"

#include <QFile>

namespace vantora::testing {

namespace {

QString stemOf(TestLeaf leaf)
{
    switch (leaf) {
    case TestLeaf::bridge123456: return QStringLiteral("bridge-123456");
    case TestLeaf::bridge123456Uppercase: return QStringLiteral("bridge-123456-uppercase");
    case TestLeaf::bridge654321: return QStringLiteral("bridge-654321");
    case TestLeaf::hostName: return QStringLiteral("hostname");
    case TestLeaf::fifteenCharacterId: return QStringLiteral("fifteen-character-id");
    case TestLeaf::untrustedBridge123456: return QStringLiteral("untrusted-bridge-123456");
    case TestLeaf::ipSanHostName: return QStringLiteral("ip-san-hostname");
    case TestLeaf::ipSanBridge654321: return QStringLiteral("ip-san-bridge-654321");
    case TestLeaf::selfSigned123456: return QStringLiteral("self-signed-123456");
    case TestLeaf::expired123456: return QStringLiteral("expired-123456");
    case TestLeaf::notYetValid123456: return QStringLiteral("not-yet-valid-123456");
    case TestLeaf::twoCommonNames: return QStringLiteral("two-common-names");
    case TestLeaf::issuedByLeaf123456: return QStringLiteral("issued-by-leaf-123456");
    case TestLeaf::untrustedIpSanHostName: return QStringLiteral("untrusted-ip-san-hostname");
    }
    Q_UNREACHABLE();
}

QString fileNameOf(PemSample sample)
{
    switch (sample) {
    case PemSample::noiseAroundTwoBlocks: return QStringLiteral("roots-with-noise.pem");
    case PemSample::brokenBlockOnly: return QStringLiteral("broken-block-only.pem");
    case PemSample::brokenAndGoodBlocks: return QStringLiteral("broken-and-good-blocks.pem");
    case PemSample::textOnly: return QStringLiteral("text-only.pem");
    case PemSample::invalidUtf8: return QStringLiteral("invalid-utf8.pem");
    }
    Q_UNREACHABLE();
}

QByteArray contentsOf(const QString &fileName)
{
    QFile file(TestPki::directory() + u'/' + fileName);
    const bool opened = file.open(QIODevice::ReadOnly);
    Q_ASSERT_X(opened, "TestPki", "the test PKI was not generated");
    return file.readAll();
}

} // namespace

QString TestPki::directory()
{
    return QStringLiteral(VANTORA_TEST_PKI_DIR);
}

QString TestPki::path(PemSample sample)
{
    return directory() + u'/' + fileNameOf(sample);
}

QSslCertificate TestPki::certificate(TestLeaf leaf)
{
    return QSslCertificate(contentsOf(stemOf(leaf) + QStringLiteral(".pem")), QSsl::Pem);
}

QSslKey TestPki::privateKey(TestLeaf leaf)
{
    return QSslKey(contentsOf(stemOf(leaf) + QStringLiteral(".key")), QSsl::Ec, QSsl::Pem);
}

platform::TrustAnchors TestPki::roots()
{
    return platform::TrustAnchors::load(directory() + QStringLiteral("/test-ca.pem"));
}

} // namespace vantora::testing
