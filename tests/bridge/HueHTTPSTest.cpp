#include "ClientOutcome.h"
#include "TestPki.h"

#include "bridge/HueHTTPS.h"

#include <gtest/gtest.h>

using vantora::BridgeAddress;
using vantora::HueHTTPS;
using vantora::testing::describeCurrentError;
using vantora::testing::PemSample;
using vantora::testing::TestPki;

namespace {

const BridgeAddress bridge{QStringLiteral("192.168.1.20")};

std::string outcomeOfMaking(const QString &rootsPath)
{
    try {
        HueHTTPS transport(bridge, QStringLiteral("001788fffe123456"), rootsPath);
        return "made";
    } catch (...) {
        return describeCurrentError();
    }
}

} // namespace

TEST(HueHTTPS, NeedsAtLeastOneRootCertificate)
{
    struct Case {
        const char *name;
        QString path;
        std::string outcome;
    };
    const Case cases[] = {
        {"the bundled roots", vantora::platform::TrustAnchors::bundledPath(), "made"},
        {"the test CA", TestPki::directory() + QStringLiteral("/test-ca.pem"), "made"},
        {"no file", TestPki::directory() + QStringLiteral("/no-such-roots.pem"), "invalidResponse"},
        {"text without a block", TestPki::path(PemSample::textOnly), "invalidResponse"},
        {"only a broken block", TestPki::path(PemSample::brokenBlockOnly), "invalidResponse"},
        {"a file that is not UTF-8", TestPki::path(PemSample::invalidUtf8), "roots unreadable"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(outcomeOfMaking(c.path), c.outcome);
    }
}
