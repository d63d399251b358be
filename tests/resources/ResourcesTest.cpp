#include "vantora/BuildInfo.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

TEST(Resources, BridgeRootCertificatesAreCompiledIn)
{
    QFile file(QStringLiteral(":/huebridge_cacert.pem"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("-----BEGIN CERTIFICATE-----"));
}

TEST(Resources, BuildInfoHasTheApplicationId)
{
    EXPECT_STREQ(vantora::buildinfo::applicationId, "org.vantora.Vantora");
    EXPECT_GT(std::strlen(vantora::buildinfo::version), 0u);
}
