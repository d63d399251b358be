#include "ClientOutcome.h"
#include "ClipFixtures.h"
#include "EventLoopTesting.h"
#include "FakeBridge.h"
#include "TestPki.h"

#include "bridge/HueClient.h"
#include "bridge/HueHTTPS.h"

#include <gtest/gtest.h>

using vantora::BridgeAddress;
using vantora::HueClient;
using vantora::HueHTTPS;
using vantora::HueSnapshot;
using vantora::platform::findHeader;
using vantora::testing::errorTextOf;
using vantora::testing::EventLoopHarness;
using vantora::testing::FakeBridge;
using vantora::testing::FakeBridgeReply;
using vantora::testing::FakeBridgeRoute;
using vantora::testing::outcomeOf;
using vantora::testing::TestLeaf;
using vantora::testing::TestPki;

namespace {

const BridgeAddress loopback{QStringLiteral("127.0.0.1")};
const QString pairedId = QStringLiteral("001788fffe123456");
const QString applicationKey = QStringLiteral("app-key-that-must-never-appear-in-an-error");
const QString lightId = QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01");
const QByteArray changedLight =
    R"({"errors":[],"data":[{"rid":"3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01","rtype":"light"}]})";

// The real transport over the test PKI, pointed at the fake bridge's port.
std::shared_ptr<HueHTTPS> transportTo(const FakeBridge &bridge, std::optional<QString> expectedId)
{
    auto transport = std::make_shared<HueHTTPS>(loopback, std::move(expectedId),
                                                TestPki::directory() + QStringLiteral("/test-ca.pem"));
    transport->setTestPort(bridge.port());
    return transport;
}

HueClient pairedClient(const FakeBridge &bridge, const QString &expectedId = pairedId)
{
    return HueClient(loopback, applicationKey, expectedId, transportTo(bridge, expectedId));
}

HueClient pairingClient(const FakeBridge &bridge)
{
    return HueClient(loopback, std::nullopt, std::nullopt, transportTo(bridge, std::nullopt));
}

} // namespace

TEST(HueClientOverHttps, ReadsTheSnapshotOfAHome)
{
    const QByteArray home = vantora::testing::clipFixture("home.json");
    FakeBridge bridge(TestLeaf::bridge123456);
    ASSERT_TRUE(bridge.listen());
    bridge.script(FakeBridgeRoute::resources, {FakeBridgeReply::json(200, home)});
    HueClient client = pairedClient(bridge);
    EventLoopHarness harness;

    const auto handle = harness.run(client.snapshot());

    ASSERT_EQ(outcomeOf(handle), "ok");
    const HueSnapshot snapshot = handle.result();
    EXPECT_FALSE(snapshot.lights.empty());
    EXPECT_TRUE(snapshot.allLightsGroupID.has_value());
    EXPECT_EQ(snapshot, HueSnapshot::fromResources(vantora::testing::resourcesOfReply(home)));
    ASSERT_EQ(bridge.requests().size(), 1u);
    EXPECT_EQ(findHeader(bridge.requests().front().headers, "hue-application-key"), applicationKey.toUtf8());
}

TEST(HueClientOverHttps, PairsOnceTheLinkButtonIsPressed)
{
    const QByteArray notPressed = R"([{"error":{"type":101,"address":"","description":"link button not pressed"}}])";
    FakeBridge bridge(TestLeaf::bridge654321);
    ASSERT_TRUE(bridge.listen());
    bridge.script(FakeBridgeRoute::pairing,
                  {FakeBridgeReply::json(200, notPressed), FakeBridgeReply::json(200, notPressed),
                   FakeBridgeReply::json(200, R"([{"success":{"username":"Wc3xKxqWZbh2yLJ9q8sBn0Ta"}}])")});
    HueClient client = pairingClient(bridge);
    EventLoopHarness harness;

    // The client never retries: each attempt is the caller's.
    std::vector<std::string> outcomes;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto handle = harness.run(client.pair());
        outcomes.push_back(outcomeOf(handle));
        if (outcomes.back() == "ok") {
            EXPECT_EQ(handle.result(), QStringLiteral("Wc3xKxqWZbh2yLJ9q8sBn0Ta"));
        }
    }

    EXPECT_EQ(outcomes, (std::vector<std::string>{"linkButtonNotPressed", "linkButtonNotPressed", "ok"}));
    ASSERT_EQ(bridge.requests().size(), 3u);
    for (const auto &request : bridge.requests()) {
        EXPECT_EQ(request.body, R"({"devicetype":"halvet#linux"})");
        EXPECT_EQ(findHeader(request.headers, "hue-application-key"), std::nullopt);
    }
}

TEST(HueClientOverHttps, AnyStatusOutsideSuccessIsAnHttpError)
{
    // Every final status outside success, including those Qt files under errors of its own.
    const int statuses[] = {302, 400, 404, 407, 418, 429, 500, 503};
    for (const int status : statuses) {
        SCOPED_TRACE(status);
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        bridge.script(FakeBridgeRoute::light, {FakeBridgeReply::json(status, R"({"errors":[],"data":[]})")});
        HueClient client = pairedClient(bridge);
        EventLoopHarness harness;

        const auto handle = harness.run(client.setLight(lightId, true));

        EXPECT_EQ(outcomeOf(handle), "http " + std::to_string(status));
    }
}

TEST(HueClientOverHttps, TalksOnlyToThePairedBridge)
{
    struct Case {
        const char *name;
        TestLeaf leaf;
        std::optional<QString> expectedId;
        std::string outcome;
    };
    const Case cases[] = {
        {"the paired bridge", TestLeaf::bridge123456, pairedId, "ok"},
        {"the paired bridge, its id saved in upper case", TestLeaf::bridge123456, pairedId.toUpper(), "ok"},
        {"another bridge at the address", TestLeaf::bridge654321, pairedId, "bridgeIdentityChanged"},
        {"a certificate naming no bridge", TestLeaf::hostName, pairedId, "network serverCertificateUntrusted"},
        {"any bridge while pairing", TestLeaf::bridge654321, std::nullopt, "ok"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(c.leaf);
        ASSERT_TRUE(bridge.listen());
        bridge.script(FakeBridgeRoute::config,
                      {FakeBridgeReply::json(200, R"({"bridgeid":"001788FFFE123456","name":"Hall"})")});
        HueClient client(loopback, std::nullopt, c.expectedId, transportTo(bridge, c.expectedId));
        EventLoopHarness harness;

        const auto handle = harness.run(client.bridgeInfo());

        EXPECT_EQ(outcomeOf(handle), c.outcome);
        EXPECT_EQ(bridge.requests().size(), c.outcome == "ok" ? 1u : 0u);
    }
}

TEST(HueClientOverHttps, NoErrorQuotesTheApplicationKey)
{
    struct Case {
        const char *name;
        TestLeaf leaf;
        FakeBridgeReply reply;
        std::string outcome;
    };
    const Case cases[] = {
        {"a refused key", TestLeaf::bridge123456, FakeBridgeReply::json(403, {}), "unauthorized"},
        {"a server error", TestLeaf::bridge123456, FakeBridgeReply::json(503, {}), "http 503"},
        {"an error the bridge reports", TestLeaf::bridge123456,
         FakeBridgeReply::json(200, R"({"errors":[{"description":"device is unreachable"}],"data":[]})"),
         "api: device is unreachable"},
        {"a reply that does not decode", TestLeaf::bridge123456, FakeBridgeReply::json(200, "{\"errors\":"),
         "decoding error"},
        {"another bridge", TestLeaf::bridge654321, FakeBridgeReply::json(200, changedLight), "bridgeIdentityChanged"},
        {"an untrusted certificate", TestLeaf::untrustedBridge123456, FakeBridgeReply::json(200, changedLight),
         "network serverCertificateUntrusted"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(c.leaf);
        ASSERT_TRUE(bridge.listen());
        bridge.script(FakeBridgeRoute::light, {c.reply});
        HueClient client = pairedClient(bridge);
        EventLoopHarness harness;

        const auto handle = harness.run(client.setLight(lightId, true));

        EXPECT_EQ(outcomeOf(handle), c.outcome);
        EXPECT_FALSE(errorTextOf(handle).contains(applicationKey));
    }
}
