#include "EventLoopTesting.h"
#include "FakeBridge.h"
#include "TestPki.h"

#include "platform/https/BridgeIdentityMismatch.h"
#include "platform/https/PinnedHttpsSession.h"

#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <string>

using namespace std::chrono_literals;
using vantora::platform::BridgeIdentityMismatch;
using vantora::platform::findHeader;
using vantora::platform::HttpRequest;
using vantora::platform::HttpResponse;
using vantora::platform::PinnedHttpsSession;
using vantora::platform::RequestTimeouts;
using vantora::runtime::CancellationError;
using vantora::runtime::NetworkError;
using vantora::runtime::TaskHandle;
using vantora::testing::EventLoopHarness;
using vantora::testing::FakeBridge;
using vantora::testing::FakeBridgeReply;
using vantora::testing::FakeBridgeRoute;
using vantora::testing::TestLeaf;
using vantora::testing::TestPki;

namespace {

const QByteArray applicationKey = "app-key-that-must-never-appear-in-an-error";
const std::optional<QString> pairedId = QStringLiteral("001788fffe123456");
const std::optional<QString> noExpectedId;
const QByteArray configBody = R"({"bridgeid":"001788FFFE123456","name":"Hall"})";

// Short enough that a hung request ends the test quickly, long enough for a handshake
// under the sanitizers.
constexpr RequestTimeouts testTimeouts{5s, 8s};

HttpRequest get(const QString &host, const QString &path)
{
    return {"GET", QUrl(QStringLiteral("https://") + host + path),
            {{"hue-application-key", applicationKey}, {"Accept", "application/json"}}, std::nullopt};
}

HttpRequest getConfig()
{
    return get(QStringLiteral("127.0.0.1"), QStringLiteral("/api/config"));
}

PinnedHttpsSession sessionFor(const FakeBridge &bridge, std::optional<QString> expectedId,
                              RequestTimeouts timeouts = testTimeouts,
                              QHostAddress host = QHostAddress(QHostAddress::LocalHost))
{
    PinnedHttpsSession session(std::move(host), std::move(expectedId), TestPki::roots(), timeouts);
    session.setTestHooks({bridge.port(), {}});
    return session;
}

// How a request ended, as one comparable text.
std::string outcomeOf(const TaskHandle<HttpResponse> &handle)
{
    if (!handle.isFinished())
        return "still running";
    try {
        return "HTTP " + std::to_string(handle.result().status);
    } catch (const CancellationError &) {
        return "cancelled";
    } catch (const BridgeIdentityMismatch &) {
        return "identity mismatch";
    } catch (const NetworkError &error) {
        return vantora::runtime::networkErrorCodeName(error.code()).toStdString();
    } catch (const std::exception &error) {
        return std::string("unexpected error: ") + error.what();
    }
}

// Everything an error says about itself, for checks that it quotes no secret.
QByteArray errorTextOf(const TaskHandle<HttpResponse> &handle)
{
    try {
        handle.result();
    } catch (const NetworkError &error) {
        return QByteArray(error.what()) + error.detail().toUtf8();
    } catch (const std::exception &error) {
        return error.what();
    } catch (const CancellationError &error) {
        return error.what();
    }
    return {};
}

} // namespace

TEST(PinnedHttpsSession, TrustsOnlyTheBridgeItExpects)
{
    struct Case {
        const char *name;
        TestLeaf leaf;
        std::optional<QString> expectedId;
        std::string outcome;
    };
    const Case cases[] = {
        {"the paired bridge", TestLeaf::bridge123456, pairedId, "HTTP 200"},
        {"the paired bridge named in upper case", TestLeaf::bridge123456Uppercase, pairedId, "HTTP 200"},
        {"another bridge", TestLeaf::bridge654321, pairedId, "identity mismatch"},
        {"another bridge from an unknown CA", TestLeaf::untrustedBridge123456, QStringLiteral("001788fffe654321"),
         "identity mismatch"},
        {"the paired id from an unknown CA", TestLeaf::untrustedBridge123456, pairedId, "serverCertificateUntrusted"},
        {"a host name", TestLeaf::hostName, noExpectedId, "serverCertificateUntrusted"},
        {"a fifteen-character id", TestLeaf::fifteenCharacterId, noExpectedId, "serverCertificateUntrusted"},
        {"any bridge while pairing", TestLeaf::bridge654321, noExpectedId, "HTTP 200"},
        {"an unknown CA while pairing", TestLeaf::untrustedBridge123456, noExpectedId, "serverCertificateUntrusted"},
        // These handshakes raise no error at all, so only the check after them can refuse.
        {"a host name valid for the address", TestLeaf::ipSanHostName, noExpectedId, "serverCertificateUntrusted"},
        {"another bridge valid for the address", TestLeaf::ipSanBridge654321, pairedId, "identity mismatch"},
        {"any bridge valid for the address while pairing", TestLeaf::ipSanBridge654321, noExpectedId, "HTTP 200"},
        // Leaves naming the paired bridge that no bridge may be trusted with.
        {"a self-signed leaf", TestLeaf::selfSigned123456, pairedId, "serverCertificateUntrusted"},
        {"a self-signed leaf while pairing", TestLeaf::selfSigned123456, noExpectedId, "serverCertificateUntrusted"},
        {"an expired leaf", TestLeaf::expired123456, pairedId, "serverCertificateUntrusted"},
        {"an expired leaf while pairing", TestLeaf::expired123456, noExpectedId, "serverCertificateUntrusted"},
        {"a leaf not yet valid", TestLeaf::notYetValid123456, pairedId, "serverCertificateUntrusted"},
        {"a leaf not yet valid while pairing", TestLeaf::notYetValid123456, noExpectedId, "serverCertificateUntrusted"},
        {"two common names", TestLeaf::twoCommonNames, pairedId, "serverCertificateUntrusted"},
        {"two common names while pairing", TestLeaf::twoCommonNames, noExpectedId, "serverCertificateUntrusted"},
        {"a leaf issued by a leaf", TestLeaf::issuedByLeaf123456, pairedId, "serverCertificateUntrusted"},
        {"a leaf issued by a leaf while pairing", TestLeaf::issuedByLeaf123456, noExpectedId,
         "serverCertificateUntrusted"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(c.leaf);
        ASSERT_TRUE(bridge.listen());
        bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::json(200, configBody)});
        const PinnedHttpsSession session = sessionFor(bridge, c.expectedId);
        EventLoopHarness harness;

        const auto handle = harness.run(session.send(getConfig()));

        EXPECT_EQ(outcomeOf(handle), c.outcome);
        EXPECT_FALSE(errorTextOf(handle).contains(applicationKey));
        // A refused bridge never sees the request, and with it the application key.
        const bool accepted = c.outcome == "HTTP 200";
        ASSERT_EQ(bridge.requests().size(), accepted ? 1u : 0u);
        if (accepted) {
            EXPECT_EQ(findHeader(bridge.requests().front().headers, "hue-application-key"), applicationKey);
        }
    }
}

TEST(PinnedHttpsSession, RefusesOutdatedOrStalledHandshakes)
{
    // Accepts connections and never reads or answers the client's hello.
    QTcpServer stalling;
    ASSERT_TRUE(stalling.listen(QHostAddress(QHostAddress::LocalHost)));
    struct Case {
        const char *name;
        bool stalls;
        std::optional<QString> expectedId;
        std::string outcome;
    };
    const Case cases[] = {
        {"only TLS 1.1 offered", false, pairedId, "secureConnectionFailed"},
        {"only TLS 1.1 offered while pairing", false, noExpectedId, "secureConnectionFailed"},
        {"a handshake that stalls", true, pairedId, "timedOut"},
        {"a handshake that stalls while pairing", true, noExpectedId, "timedOut"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        bridge.offerOnly(QSsl::TlsV1_1);
        QT_WARNING_POP
        PinnedHttpsSession session(QHostAddress(QHostAddress::LocalHost), c.expectedId, TestPki::roots(),
                                   {300ms, 60s});
        session.setTestHooks({c.stalls ? stalling.serverPort() : bridge.port(), {}});
        EventLoopHarness harness;

        const auto handle = harness.run(session.send(getConfig()));

        EXPECT_EQ(outcomeOf(handle), c.outcome);
        EXPECT_TRUE(bridge.requests().empty());
    }
}

TEST(PinnedHttpsSession, GoesStraightToTheBridgeWhateverProxyTheApplicationSets)
{
    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress(QHostAddress::LocalHost)));
    int proxyConnections = 0;
    QObject::connect(&proxy, &QTcpServer::newConnection, &proxy, [&] { ++proxyConnections; });
    const QNetworkProxy before = QNetworkProxy::applicationProxy();
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"),
                                                     proxy.serverPort()));
    for (const std::optional<QString> &expectedId : {pairedId, noExpectedId}) {
        SCOPED_TRACE(expectedId ? "paired" : "pairing");
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::json(200, configBody)});
        const PinnedHttpsSession session = sessionFor(bridge, expectedId);
        EventLoopHarness harness;

        const auto handle = harness.run(session.send(getConfig()));

        EXPECT_EQ(outcomeOf(handle), "HTTP 200");
    }
    QNetworkProxy::setApplicationProxy(before);
    EXPECT_EQ(proxyConnections, 0);
}

TEST(PinnedHttpsSession, ReachesABridgeAtAnIPv6Address)
{
    FakeBridge bridge(TestLeaf::bridge123456);
    if (!bridge.listen(QHostAddress(QHostAddress::LocalHostIPv6)))
        GTEST_SKIP() << "This machine has no IPv6 loopback address.";
    bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::json(200, configBody)});
    // Spelled differently from the URL's host: the addresses are equal, the texts are not.
    const PinnedHttpsSession session =
        sessionFor(bridge, pairedId, testTimeouts, QHostAddress(QStringLiteral("0:0:0:0:0:0:0:1")));
    EventLoopHarness harness;

    const auto handle = harness.run(session.send(get(QStringLiteral("[::1]"), QStringLiteral("/api/config"))));

    EXPECT_EQ(outcomeOf(handle), "HTTP 200");
}

TEST(PinnedHttpsSession, SendsNothingThatIsNotHttpsToTheBridge)
{
    struct Case {
        const char *name;
        QString url;
    };
    const Case cases[] = {
        {"plain http", QStringLiteral("http://127.0.0.1/api/config")},
        {"another address", QStringLiteral("https://[::1]/api/config")},
        {"a host name", QStringLiteral("https://localhost/api/config")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        const PinnedHttpsSession session = sessionFor(bridge, pairedId);
        EventLoopHarness harness;
        HttpRequest request = getConfig();
        request.url = QUrl(c.url);

        const auto handle = harness.run(session.send(request));

        EXPECT_EQ(outcomeOf(handle), "serverCertificateUntrusted");
        EXPECT_EQ(bridge.connectionCount(), 0);
    }
}

TEST(PinnedHttpsSession, ReturnsEveryStatusWithItsBody)
{
    // Qt files its own error under some of these (400 and 418 as invalid operations, 407 as
    // a proxy's demand), yet each is a complete answer from the bridge.
    const int statuses[] = {200, 201, 204, 400, 401, 403, 404, 405, 407, 409, 418, 429, 500, 501, 503, 599};
    for (const int status : statuses) {
        SCOPED_TRACE(status);
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        // A 204 carries no body by definition.
        const QByteArray body = status == 204 ? QByteArray() : configBody;
        bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::json(status, body)});
        const PinnedHttpsSession session = sessionFor(bridge, pairedId);
        EventLoopHarness harness;

        const auto handle = harness.run(session.send(getConfig()));

        ASSERT_EQ(outcomeOf(handle), "HTTP " + std::to_string(status));
        EXPECT_EQ(handle.result().body, body);
        EXPECT_EQ(findHeader(handle.result().headers, "content-type"), "application/json");
    }
}

TEST(PinnedHttpsSession, AnInformationalStatusWithNoAnswerAfterItIsALostConnection)
{
    FakeBridge bridge(TestLeaf::bridge123456);
    ASSERT_TRUE(bridge.listen());
    bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::json(102, {})});
    const PinnedHttpsSession session = sessionFor(bridge, pairedId);
    EventLoopHarness harness;

    const auto handle = harness.run(session.send(getConfig()));

    EXPECT_EQ(outcomeOf(handle), "networkConnectionLost");
}

TEST(PinnedHttpsSession, ReturnsARedirectInsteadOfFollowingIt)
{
    FakeBridge bridge(TestLeaf::bridge123456);
    ASSERT_TRUE(bridge.listen());
    const QByteArray elsewhere = "https://127.0.0.1:" + QByteArray::number(bridge.port()) + "/clip/v2/resource";
    bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::redirect(elsewhere)});
    const PinnedHttpsSession session = sessionFor(bridge, pairedId);
    EventLoopHarness harness;

    const auto handle = harness.run(session.send(getConfig()));

    ASSERT_EQ(outcomeOf(handle), "HTTP 302");
    EXPECT_EQ(findHeader(handle.result().headers, "Location"), elsewhere);
    EXPECT_EQ(bridge.requests().size(), 1u);
}

TEST(PinnedHttpsSession, SendsTheRequestAsBuilt)
{
    FakeBridge bridge(TestLeaf::bridge123456);
    ASSERT_TRUE(bridge.listen());
    bridge.script(FakeBridgeRoute::light, {FakeBridgeReply::json(200, R"({"errors":[],"data":[]})")});
    const PinnedHttpsSession session = sessionFor(bridge, pairedId);
    EventLoopHarness harness;
    const QString path = QStringLiteral("/clip/v2/resource/light/3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01");
    HttpRequest request = get(QStringLiteral("127.0.0.1"), path);
    request.method = "PUT";
    request.headers.push_back({"Content-Type", "application/json"});
    request.body = R"({"on":{"on":true}})";

    const auto handle = harness.run(session.send(request));

    ASSERT_EQ(outcomeOf(handle), "HTTP 200");
    ASSERT_EQ(bridge.requests().size(), 1u);
    const auto &received = bridge.requests().front();
    EXPECT_EQ(received.route, FakeBridgeRoute::light);
    EXPECT_EQ(received.method, "PUT");
    EXPECT_EQ(received.path, path.toUtf8());
    EXPECT_EQ(received.body, *request.body);
    EXPECT_EQ(findHeader(received.headers, "hue-application-key"), applicationKey);
    EXPECT_EQ(findHeader(received.headers, "Content-Type"), "application/json");
}

TEST(PinnedHttpsSession, TransportFailuresKeepTheirCause)
{
    QTcpServer closedPort;
    ASSERT_TRUE(closedPort.listen(QHostAddress(QHostAddress::LocalHost)));
    const quint16 refusingPort = closedPort.serverPort();
    closedPort.close();

    FakeBridgeReply closesMidBody = FakeBridgeReply::json(200, configBody);
    closesMidBody.delivery = FakeBridgeReply::Delivery::closeMidBody;

    struct Case {
        const char *name;
        std::optional<FakeBridgeReply> reply;  // absent: nothing listens
        RequestTimeouts timeouts;
        std::string outcome;
    };
    const Case cases[] = {
        {"connection refused", std::nullopt, testTimeouts, "cannotConnectToHost"},
        {"closed in the middle of the body", closesMidBody, testTimeouts, "networkConnectionLost"},
        // The other limit lies beyond the watchdog, so only the one under test can end these.
        {"silence past the idle limit", FakeBridgeReply::silence(), {200ms, 60s}, "timedOut"},
        {"silence past the total limit", FakeBridgeReply::silence(), {60s, 300ms}, "timedOut"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(TestLeaf::bridge123456);
        ASSERT_TRUE(bridge.listen());
        if (c.reply)
            bridge.script(FakeBridgeRoute::config, {*c.reply});
        PinnedHttpsSession session(QHostAddress(QHostAddress::LocalHost), pairedId, TestPki::roots(), c.timeouts);
        session.setTestHooks({c.reply ? bridge.port() : refusingPort, {}});
        EventLoopHarness harness;

        const auto handle = harness.run(session.send(getConfig()));

        EXPECT_EQ(outcomeOf(handle), c.outcome);
        EXPECT_FALSE(errorTextOf(handle).contains(applicationKey));
    }
}

TEST(PinnedHttpsSession, CancellingAbortsTheRequestInFlight)
{
    FakeBridge bridge(TestLeaf::bridge123456);
    ASSERT_TRUE(bridge.listen());
    bridge.script(FakeBridgeRoute::config, {FakeBridgeReply::silence()});
    const PinnedHttpsSession session = sessionFor(bridge, pairedId);
    EventLoopHarness harness;
    QSignalSpy received(&bridge, &FakeBridge::requestReceived);

    const auto handle = harness.start(session.send(getConfig()));
    ASSERT_TRUE(received.wait(10'000));
    handle.cancel();

    ASSERT_TRUE(harness.waitUntilFinished(handle));
    EXPECT_EQ(outcomeOf(handle), "cancelled");
}

TEST(PinnedHttpsSession, CancellationWinsOverARecordedRefusal)
{
    struct Case {
        const char *name;
        TestLeaf leaf;
    };
    const Case cases[] = {
        {"refused during the handshake", TestLeaf::bridge654321},
        {"refused after the handshake", TestLeaf::ipSanBridge654321},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeBridge bridge(c.leaf);
        ASSERT_TRUE(bridge.listen());
        TaskHandle<HttpResponse> handle;
        PinnedHttpsSession session(QHostAddress(QHostAddress::LocalHost), pairedId, TestPki::roots(), testTimeouts);
        session.setTestHooks({bridge.port(), [&handle] { handle.cancel(); }});
        EventLoopHarness harness;

        handle = harness.start(session.send(getConfig()));

        ASSERT_TRUE(harness.waitUntilFinished(handle));
        EXPECT_EQ(outcomeOf(handle), "cancelled");
    }
}
