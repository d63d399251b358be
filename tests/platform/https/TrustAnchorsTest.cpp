#include "TestPki.h"

#include "platform/https/TrustAnchors.h"
#include "platform/https/TrustAnchorsError.h"

#include <gtest/gtest.h>

using vantora::platform::TrustAnchors;
using vantora::platform::TrustAnchorsError;
using vantora::testing::PemSample;
using vantora::testing::TestPki;

TEST(TrustAnchors, ReadsEveryBlockThatHoldsACertificate)
{
    const TrustAnchors noisy = TrustAnchors::load(TestPki::path(PemSample::noiseAroundTwoBlocks));
    ASSERT_EQ(noisy.certificates().size(), 2);
    EXPECT_EQ(noisy.certificates().first(), TestPki::roots().certificates().first());

    const TrustAnchors partlyBroken = TrustAnchors::load(TestPki::path(PemSample::brokenAndGoodBlocks));
    ASSERT_EQ(partlyBroken.certificates().size(), 1);
    EXPECT_EQ(partlyBroken.certificates().first(), noisy.certificates().last());
}

TEST(TrustAnchors, RefusesFilesThatYieldNoCertificate)
{
    struct Case {
        const char *name;
        QString path;
        TrustAnchorsError::Reason reason;
    };
    const Case cases[] = {
        {"missing file", TestPki::directory() + QStringLiteral("/no-such-file.pem"), TrustAnchorsError::Reason::missing},
        {"text only", TestPki::path(PemSample::textOnly), TrustAnchorsError::Reason::noCertificate},
        {"broken block only", TestPki::path(PemSample::brokenBlockOnly), TrustAnchorsError::Reason::noCertificate},
        {"not UTF-8", TestPki::path(PemSample::invalidUtf8), TrustAnchorsError::Reason::unreadable},
        {"missing resource", QStringLiteral(":/no-such-roots.pem"), TrustAnchorsError::Reason::missing},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TrustAnchors::load(c.path);
            ADD_FAILURE() << "loaded";
        } catch (const TrustAnchorsError &error) {
            EXPECT_EQ(error.reason(), c.reason);
        }
    }
}

TEST(TrustAnchors, TheBundledRootsLoad)
{
    EXPECT_FALSE(TrustAnchors::load().certificates().isEmpty());
}
