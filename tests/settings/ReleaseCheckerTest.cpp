#include "RecordingAlerts.h"

#include "settings/ApplicationInfo.h"
#include "settings/ReleaseChecker.h"

#include "EventLoopTesting.h"
#include "FakeBridge.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using namespace vantora;
using vantora::testing::FakeBridge;
using vantora::testing::FakeBridgeReply;
using vantora::testing::RecordingAlerts;
using vantora::testing::TestLeaf;
using vantora::testing::TestPki;
using vantora::testing::waitForEvents;

namespace {

QByteArray manifest(const char *version, int build, const char *downloadURL = "https://vantora.example/download")
{
    return QStringLiteral(R"({"version": "%1", "build": %2, "minimumMacOS": "0", "downloadURL": "%3",)"
                          R"( "notesURL": "https://vantora.example/notes"})")
        .arg(QString::fromUtf8(version))
        .arg(build)
        .arg(QString::fromUtf8(downloadURL))
        .toUtf8();
}

// A valid manifest padded with spaces to exactly `size` bytes.
QByteArray manifestOfSize(qsizetype size)
{
    QByteArray body = manifest("9.0", 1);
    body.append(size - body.size(), ' ');
    return body;
}

FakeBridgeReply reply(int status, QByteArray body)
{
    return FakeBridgeReply::json(status, std::move(body));
}

FakeBridgeReply delivered(FakeBridgeReply::Delivery delivery, QByteArray body, std::chrono::milliseconds delay)
{
    FakeBridgeReply made = reply(200, std::move(body));
    made.delivery = delivery;
    made.delay = delay;
    return made;
}

const Alert upToDate = Alert::notice("You’re up to date", "vantora 1.2.0 is the latest version available for download.");
const Alert failure = Alert::notice("Couldn’t check for updates",
                                    "Check your internet connection and try again. You can also find releases at "
                                    "vantora.example/releases/. Your light controls still work locally.");

struct UpdateCheckTest : ::testing::Test {
    RecordingAlerts alerts;
    std::vector<QUrl> opened;
    std::unique_ptr<FakeBridge> server;
    platform::RequestTimeouts timeouts{15s, 20s};
    QString host = QStringLiteral("127.0.0.1");
    QString runningVersion = QStringLiteral("1.2.0");

    void serve(TestLeaf leaf, std::vector<FakeBridgeReply> replies)
    {
        server = std::make_unique<FakeBridge>(leaf);
        ASSERT_TRUE(server->listen());
        server->script(vantora::testing::FakeBridgeRoute::other, std::move(replies));
    }

    std::unique_ptr<ReleaseChecker> makeChecker()
    {
        ReleaseChecker::Options options;
        options.manifestURL = QUrl(QStringLiteral("https://%1:%2/releases/latest.json").arg(host).arg(server->port()));
        options.webHost = QStringLiteral("vantora.example");
        options.runningVersion = runningVersion;
        options.runningBuild = QStringLiteral("4");
        options.timeouts = timeouts;
        options.alerts = &alerts;
        options.openURL = [this](const QUrl &url) {
            opened.push_back(url);
            return true;
        };
        options.extraRoots = TestPki::roots().certificates();
        return std::make_unique<ReleaseChecker>(std::move(options));
    }

    // Runs one check until its alert shows; none when no alert came.
    std::optional<Alert> alertOfOneCheck()
    {
        const auto checker = makeChecker();
        const std::size_t before = alerts.shown.size();
        checker->check();
        if (!waitForEvents([this, before] { return alerts.shown.size() > before; }, 10s))
            return std::nullopt;
        const Alert shown = alerts.shown.back().alert;
        alerts.answer(AlertAnswer::cancelled);
        EXPECT_TRUE(waitForEvents([&checker] { return !checker->isChecking(); }, 1s));
        return shown;
    }
};

} // namespace

TEST_F(UpdateCheckTest, ANewerReleaseOffersItsDownloadPage)
{
    serve(TestLeaf::ipSanHostName, {reply(200, manifest("1.3", 1, "https://vantora.example/get?v=1.3"))});
    const auto checker = makeChecker();
    QSignalSpy checking(checker.get(), &ReleaseChecker::isCheckingChanged);

    checker->check();
    EXPECT_TRUE(checker->isChecking());
    ASSERT_TRUE(waitForEvents([this] { return !alerts.shown.empty(); }, 10s));
    EXPECT_EQ(alerts.shown[0].alert,
              (Alert{"vantora 1.3 is available",
                     "You have version 1.2.0. Open the download page to install the new version.", "Open download",
                     QString("Later")}));
    EXPECT_TRUE(checker->isChecking()); // until the alert is answered

    alerts.answer(AlertAnswer::confirmed);
    EXPECT_TRUE(waitForEvents([&checker] { return !checker->isChecking(); }, 1s));
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl("https://vantora.example/get?v=1.3")});
    EXPECT_EQ(checking.count(), 2);
    ASSERT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(server->requests()[0].method, "GET");
    EXPECT_EQ(server->requests()[0].path, "/releases/latest.json");
}

TEST_F(UpdateCheckTest, LaterOpensNothing)
{
    serve(TestLeaf::ipSanHostName, {reply(200, manifest("1.3", 1))});
    EXPECT_EQ(alertOfOneCheck()->title, "vantora 1.3 is available");
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdateCheckTest, TheSameOrAnOlderReleaseIsUpToDate)
{
    for (const auto &[version, build] : std::vector<std::pair<const char *, int>>{{"1.2", 4}, {"1.2.0", 3}, {"1.1.9", 99}}) {
        SCOPED_TRACE(version);
        serve(TestLeaf::ipSanHostName, {reply(200, manifest(version, build))});
        EXPECT_EQ(alertOfOneCheck(), upToDate);
    }
}

TEST_F(UpdateCheckTest, ReadsABodyJustBelowTheLimit)
{
    serve(TestLeaf::ipSanHostName, {reply(200, manifestOfSize(ReleaseChecker::maximumManifestSize - 1))});
    EXPECT_EQ(alertOfOneCheck()->title, "vantora 9.0 is available");
}

TEST_F(UpdateCheckTest, FollowsARedirectToHttps)
{
    serve(TestLeaf::ipSanHostName, {FakeBridgeReply::redirect("/releases/moved.json"), reply(200, manifest("1.3", 1))});
    EXPECT_EQ(alertOfOneCheck()->title, "vantora 1.3 is available");
    ASSERT_EQ(server->requests().size(), 2u);
    EXPECT_EQ(server->requests()[1].path, "/releases/moved.json");
}

TEST_F(UpdateCheckTest, EveryFailureEndsWithTheFailureAlert)
{
    struct Row {
        std::string name;
        TestLeaf leaf = TestLeaf::ipSanHostName;
        std::vector<FakeBridgeReply> replies;
        platform::RequestTimeouts timeouts{15s, 20s};
        QString host = QStringLiteral("127.0.0.1");
        QString runningVersion = QStringLiteral("1.2.0");
    };
    const QByteArray newer = manifest("1.3", 1);
    const std::vector<Row> rows = {
        {"created", TestLeaf::ipSanHostName, {reply(201, newer)}},
        {"no content", TestLeaf::ipSanHostName, {reply(204, {})}},
        {"not found", TestLeaf::ipSanHostName, {reply(404, newer)}},
        {"a body at the limit", TestLeaf::ipSanHostName, {reply(200, manifestOfSize(ReleaseChecker::maximumManifestSize))}},
        {"a body far over the limit", TestLeaf::ipSanHostName, {reply(200, manifestOfSize(3'000'000))}},
        {"a redirect to http", TestLeaf::ipSanHostName, {FakeBridgeReply::redirect("http://127.0.0.1:1/latest.json")}},
        {"a certificate from an untrusted CA", TestLeaf::untrustedIpSanHostName, {reply(200, newer)}},
        {"a certificate for another host", TestLeaf::hostName, {reply(200, newer)}},
        {"a certificate for addresses asked by name", TestLeaf::ipSanHostName, {reply(200, newer)}, {15s, 20s},
         "localhost"},
        {"a server that stalls", TestLeaf::ipSanHostName, {FakeBridgeReply::silence()}, {300ms, 20s}},
        {"a server that trickles", TestLeaf::ipSanHostName,
         {delivered(FakeBridgeReply::Delivery::trickle, newer, 50ms)}, {500ms, 1s}},
        {"a connection closed mid-body", TestLeaf::ipSanHostName,
         {delivered(FakeBridgeReply::Delivery::closeMidBody, newer, 0ms)}},
        {"malformed JSON", TestLeaf::ipSanHostName, {reply(200, "{\"version\": \"1.3\",")}},
        {"a missing key", TestLeaf::ipSanHostName, {reply(200, R"({"version": "1.3", "build": 1})")}},
        {"a build as text", TestLeaf::ipSanHostName, {reply(200, QByteArray(newer).replace("\"build\": 1", "\"build\": \"1\""))}},
        {"an invalid version", TestLeaf::ipSanHostName, {reply(200, manifest("1.3.0.1", 1))}},
        {"a download over http", TestLeaf::ipSanHostName, {reply(200, manifest("1.3", 1, "http://vantora.example/d"))}},
        {"a download with a user", TestLeaf::ipSanHostName,
         {reply(200, manifest("1.3", 1, "https://me:pw@vantora.example/d"))}},
        {"a running version that does not parse", TestLeaf::ipSanHostName, {reply(200, manifest("1.3", 1))},
         {15s, 20s}, "127.0.0.1", "1.0 beta"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        alerts.shown.clear();
        timeouts = row.timeouts;
        host = row.host;
        runningVersion = row.runningVersion;
        serve(row.leaf, row.replies);
        const std::optional<Alert> shown = alertOfOneCheck();
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(shown, failure);
        EXPECT_EQ(alerts.shown.size(), 1u);
    }
}

TEST_F(UpdateCheckTest, ALengthAnnouncedAtTheLimitFailsBeforeTheIdleLimit)
{
    // The headers announce the body, whose first byte would come only after a minute.
    serve(TestLeaf::ipSanHostName, {delivered(FakeBridgeReply::Delivery::trickle,
                                              manifestOfSize(ReleaseChecker::maximumManifestSize), 60s)});
    timeouts = {30s, 60s};
    EXPECT_EQ(alertOfOneCheck(), failure);
}

// A build that names no web host has nowhere to ask: nothing is tried, so nothing failed.
TEST_F(UpdateCheckTest, ABuildWithoutAWebHostSaysWhereUpdatesComeFrom)
{
    const ApplicationInfo info({"1.2.0", "4", "", "", ""});
    ReleaseChecker::Options options;
    options.manifestURL = info.releaseManifestURL();
    options.webHost = info.webHost();
    options.runningVersion = info.version();
    options.runningBuild = info.build();
    options.alerts = &alerts;
    ReleaseChecker checker(std::move(options));

    checker.check();
    ASSERT_TRUE(waitForEvents([this] { return !alerts.shown.empty(); }, 10s));
    EXPECT_EQ(alerts.shown.back().alert,
              Alert::notice("This build doesn’t check for updates",
                            "This build of vantora names no place to check for updates. Updates come from where you "
                            "installed it."));
    alerts.answer(AlertAnswer::cancelled);
    EXPECT_TRUE(waitForEvents([&checker] { return !checker.isChecking(); }, 1s));
}

TEST_F(UpdateCheckTest, ASecondCheckWhileOneRunsDoesNothing)
{
    FakeBridgeReply slow = reply(200, manifest("1.2", 4));
    slow.delay = 200ms;
    serve(TestLeaf::ipSanHostName, {slow});
    const auto checker = makeChecker();

    checker->check();
    checker->check();
    ASSERT_TRUE(waitForEvents([this] { return !alerts.shown.empty(); }, 10s));
    checker->check();
    alerts.answer(AlertAnswer::cancelled);
    waitForEvents([] { return false; }, 300ms);

    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(server->requests().size(), 1u);
    EXPECT_FALSE(checker->isChecking());
}
