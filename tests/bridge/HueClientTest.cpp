#include "ClientOutcome.h"
#include "RecordingTransport.h"

#include "bridge/HueClient.h"
#include "bridge/HueError.h"

#include "TaskTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace std::chrono_literals;
using vantora::BridgeAddress;
using vantora::BridgeInfo;
using vantora::HueClient;
using vantora::HueError;
using vantora::HueLight;
using vantora::HueSnapshot;
using vantora::HueXY;
using vantora::LightChange;
using vantora::platform::findHeader;
using vantora::runtime::NetworkError;
using vantora::runtime::NetworkErrorCode;
using vantora::runtime::Task;
using vantora::testing::outcomeOf;
using vantora::testing::RecordingTransport;
using vantora::testing::TaskHarness;

namespace {

const QString lightId = QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01");
const QString groupId = QStringLiteral("c0c0c0c0-0000-4000-8000-0000000000a0");
const QString applicationKey = QStringLiteral("k3y-0f-th1s-app");
const QByteArray emptyEnvelope = R"({"errors":[],"data":[]})";
const QByteArray changedLight =
    R"({"errors":[],"data":[{"rid":"3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01","rtype":"light"}]})";

enum class Key { none, present };

using Operation = std::function<Task<void>(HueClient &)>;

template <typename T>
Task<void> ignoringResult(Task<T> task)
{
    co_await std::move(task);
}

HueSnapshot groupedSnapshot(std::vector<HueLight> lights = {})
{
    return HueSnapshot{.lights = std::move(lights), .allLightsGroupID = groupId};
}

HueLight light(const QString &id, bool reachable = true)
{
    HueLight result;
    result.id = id;
    result.isReachable = reachable;
    return result;
}

// A client over a recording transport, run on a virtual clock.
struct ClientFixture {
    explicit ClientFixture(Key key = Key::present, QString host = QStringLiteral("192.168.1.20"))
        : client(BridgeAddress{std::move(host)}, key == Key::present ? std::optional(applicationKey) : std::nullopt,
                 std::nullopt, transport, harness.clock)
    {
    }

    template <typename T>
    std::string run(Task<T> task)
    {
        const auto handle = harness.start(std::move(task));
        harness.clock.advance(10s);
        return outcomeOf(handle);
    }

    TaskHarness harness;
    std::shared_ptr<RecordingTransport> transport = std::make_shared<RecordingTransport>();
    HueClient client;
};

} // namespace

TEST(HueClient, BuildsEachRequestWithItsHeadersAndCompactBody)
{
    struct Case {
        const char *name;
        Key key;
        Operation operation;
        QByteArray method;
        QString url;
        std::optional<QByteArray> body;
    };
    const QString lightUrl = QStringLiteral("https://192.168.1.20/clip/v2/resource/light/") + lightId;
    const QString groupUrl = QStringLiteral("https://192.168.1.20/clip/v2/resource/grouped_light/") + groupId;
    const Case cases[] = {
        {"bridge info while pairing", Key::none, [](HueClient &c) { return ignoringResult(c.bridgeInfo()); }, "GET",
         QStringLiteral("https://192.168.1.20/api/config"), std::nullopt},
        {"bridge info of a paired bridge", Key::present, [](HueClient &c) { return ignoringResult(c.bridgeInfo()); },
         "GET", QStringLiteral("https://192.168.1.20/api/config"), std::nullopt},
        {"pairing", Key::none, [](HueClient &c) { return ignoringResult(c.pair()); }, "POST",
         QStringLiteral("https://192.168.1.20/api"), R"({"devicetype":"halvet#linux"})"},
        {"snapshot", Key::present, [](HueClient &c) { return ignoringResult(c.snapshot()); }, "GET",
         QStringLiteral("https://192.168.1.20/clip/v2/resource"), std::nullopt},
        {"switching a light off", Key::present, [](HueClient &c) { return c.setLight(lightId, false); }, "PUT",
         lightUrl, R"({"on":{"on":false}})"},
        {"an upper-case light id travels as given", Key::present,
         [](HueClient &c) { return c.setLight(lightId.toUpper(), true); }, "PUT",
         QStringLiteral("https://192.168.1.20/clip/v2/resource/light/") + lightId.toUpper(), R"({"on":{"on":true}})"},
        {"switch, brightness and colour", Key::present,
         [](HueClient &c) {
             return c.updateLight(lightId, LightChange{.on = true, .brightness = 42.5, .color = HueXY{0.3, 0.25}});
         },
         "PUT", lightUrl, R"({"color":{"xy":{"x":0.3,"y":0.25}},"dimming":{"brightness":42.5},"on":{"on":true}})"},
        {"white temperature alone", Key::present,
         [](HueClient &c) { return c.updateLight(lightId, LightChange{.temperature = 366}); }, "PUT", lightUrl,
         R"({"color_temperature":{"mirek":366}})"},
        {"switching a light through an update", Key::present,
         [](HueClient &c) { return c.updateLight(lightId, LightChange{.on = false}); }, "PUT", lightUrl,
         R"({"on":{"on":false}})"},
        {"all lights on", Key::present, [](HueClient &c) { return c.setPower(groupedSnapshot(), true); }, "PUT",
         groupUrl, R"({"on":{"on":true}})"},
        {"all lights off", Key::present, [](HueClient &c) { return c.allOff(groupedSnapshot()); }, "PUT", groupUrl,
         R"({"on":{"on":false}})"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture(c.key);
        fixture.transport->script({RecordingTransport::json(500, {})});

        fixture.run(c.operation(fixture.client));

        ASSERT_EQ(fixture.transport->requests().size(), 1u);
        const auto &request = fixture.transport->requests().front();
        EXPECT_EQ(request.method, c.method);
        EXPECT_EQ(request.url.toString(), c.url);
        EXPECT_EQ(request.body, c.body);
        EXPECT_EQ(findHeader(request.headers, "Accept"), "application/json");
        EXPECT_EQ(findHeader(request.headers, "Content-Type"),
                  c.body ? std::optional<QByteArray>("application/json") : std::nullopt);
        EXPECT_EQ(findHeader(request.headers, "hue-application-key"),
                  c.key == Key::present ? std::optional(applicationKey.toUtf8()) : std::nullopt);
        EXPECT_EQ(request.headers.size(), 1u + (c.body ? 1u : 0u) + (c.key == Key::present ? 1u : 0u));
    }
}

TEST(HueClient, PutsAnIPv6BridgeInBrackets)
{
    ClientFixture fixture(Key::none, QStringLiteral("fd00::20"));
    fixture.transport->script({RecordingTransport::json(500, {})});

    fixture.run(fixture.client.bridgeInfo());

    ASSERT_EQ(fixture.transport->requests().size(), 1u);
    EXPECT_EQ(fixture.transport->requests().front().url.toString(), QStringLiteral("https://[fd00::20]/api/config"));
}

TEST(HueClient, MapsTheStatusBeforeReadingTheBody)
{
    struct Case {
        const char *name;
        RecordingTransport::Answer answer;
        std::string outcome;
    };
    const Case cases[] = {
        {"200 with a confirmation", RecordingTransport::json(200, changedLight), "ok"},
        {"299 is a success too", RecordingTransport::json(299, changedLight), "ok"},
        {"204 without a body is no envelope", RecordingTransport::json(204, {}), "decoding error"},
        {"401", RecordingTransport::json(401, {}), "unauthorized"},
        {"403", RecordingTransport::json(403, {}), "unauthorized"},
        {"a redirect", RecordingTransport::json(302, {}), "http 302"},
        {"199", RecordingTransport::json(199, changedLight), "http 199"},
        {"a failed status with an error envelope", RecordingTransport::json(500, R"({"errors":[{"description":"busy"}],"data":[]})"),
         "http 500"},
        {"a transport failure", RecordingTransport::failure(NetworkError(NetworkErrorCode::timedOut)),
         "network timedOut"},
        {"another bridge", RecordingTransport::failure(HueError::bridgeIdentityChanged()), "bridgeIdentityChanged"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture;
        fixture.transport->script({c.answer});

        EXPECT_EQ(fixture.run(fixture.client.setLight(lightId, true)), c.outcome);
    }
}

TEST(HueClient, ChecksTheEnvelopeOfEveryClipReply)
{
    struct Case {
        const char *name;
        Operation operation;
        QByteArray body;
        std::string outcome;
    };
    const Operation change = [](HueClient &c) { return c.updateLight(lightId, LightChange{.brightness = 20}); };
    const Operation snapshot = [](HueClient &c) { return ignoringResult(c.snapshot()); };
    const Case cases[] = {
        {"two errors are joined in order", change, R"({"errors":[{"description":"A"},{"description":"B"}],"data":[]})",
         "api: A; B"},
        {"the snapshot reports errors too", snapshot, R"({"errors":[{"description":"busy"}],"data":[]})", "api: busy"},
        {"an empty home", snapshot, emptyEnvelope, "ok"},
        {"no data", change, R"({"errors":[]})", "decoding error"},
        {"no errors", change, R"({"data":[]})", "decoding error"},
        {"an error without a description", change, R"({"errors":[{"type":7}],"data":[]})", "decoding error"},
        {"data of the wrong shape", change, R"({"errors":[],"data":[{"rid":1}]})", "decoding error"},
        {"a resource of the wrong shape", snapshot, R"({"errors":[],"data":[{"type":"light"}]})", "decoding error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture;
        fixture.transport->script({RecordingTransport::json(200, c.body)});

        EXPECT_EQ(fixture.run(c.operation(fixture.client)), c.outcome);
    }
}

TEST(HueClient, PairingTakesTheFirstErrorOrElseTheFirstUsername)
{
    struct Case {
        const char *name;
        QByteArray reply;
        std::string outcome;
    };
    const Case cases[] = {
        {"link button not pressed", R"([{"error":{"type":101,"address":"","description":"link button not pressed"}}])",
         "linkButtonNotPressed"},
        {"another error beside a success",
         R"([{"error":{"type":7,"description":"invalid value for devicetype"}},{"success":{"username":"abc"}}])",
         "api: invalid value for devicetype"},
        {"an error after a success still decides", R"([{"success":{"username":"abc"}},{"error":{"type":101,"description":"x"}}])",
         "linkButtonNotPressed"},
        {"a new key", R"([{"success":{"username":"Wc3xKxqWZbh2yLJ9q8sBn0Ta"}}])", "key Wc3xKxqWZbh2yLJ9q8sBn0Ta"},
        {"the first of two keys", R"([{"success":{"username":"first"}},{"success":{"username":"second"}}])",
         "key first"},
        {"an empty key", R"([{"success":{"username":""}},{"success":{"username":"second"}}])", "invalidResponse"},
        {"a key that would break its header", R"([{"success":{"username":"abc\r\nX-Injected: 1"}}])",
         "invalidResponse"},
        {"an empty array", "[]", "invalidResponse"},
        {"an element with neither", "[{}]", "invalidResponse"},
        {"a success without a username", R"([{"success":{}}])", "decoding error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture(Key::none);
        fixture.transport->script({RecordingTransport::json(200, c.reply)});
        const auto handle = fixture.harness.start(fixture.client.pair());

        const std::string outcome = outcomeOf(handle);
        EXPECT_EQ(outcome == "ok" ? "key " + handle.result().toStdString() : outcome, c.outcome);
    }
}

TEST(HueClient, AcceptsOnlyARealBridgeIdAndReturnsItAsReceived)
{
    struct Case {
        const char *name;
        QByteArray reply;
        std::string outcome;
    };
    const Case cases[] = {
        {"lower case", R"({"bridgeid":"001788fffe123456","name":"Hall","modelid":"BSB002"})", "001788fffe123456"},
        {"upper case", R"({"bridgeid":"001788FFFE123456","name":"Hall"})", "001788FFFE123456"},
        {"fifteen characters", R"({"bridgeid":"001788fffe12345","name":"Hall"})", "invalidResponse"},
        {"seventeen characters", R"({"bridgeid":"001788fffe1234567","name":"Hall"})", "invalidResponse"},
        {"a letter that is no digit", R"({"bridgeid":"001788fffe12345g","name":"Hall"})", "invalidResponse"},
        {"no id", R"({"name":"Hall"})", "decoding error"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture(Key::none);
        fixture.transport->script({RecordingTransport::json(200, c.reply)});
        const auto handle = fixture.harness.start(fixture.client.bridgeInfo());

        const std::string outcome = outcomeOf(handle);
        EXPECT_EQ(outcome == "ok" ? handle.result().bridgeid.toStdString() : outcome, c.outcome);
    }
}

TEST(HueClient, SendsNothingForAnIdThatIsNotAUuid)
{
    const QString ids[] = {
        QString(),
        QStringLiteral("light-1"),
        QStringLiteral("{3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01}"),
        QStringLiteral("3f1c1e8c5d9a4c539e7b2c4a1b6f8e01"),
        QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e0g"),
        QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b2-c4a1b6f8e01"),
        QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01-"),
        QStringLiteral(" 3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01"),
        QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e01/../../../api/config"),
    };
    struct Case {
        const char *name;
        std::function<Task<void>(HueClient &, const QString &)> operation;
    };
    const Case cases[] = {
        {"switching a light", [](HueClient &c, const QString &id) { return c.setLight(id, true); }},
        {"changing a light", [](HueClient &c, const QString &id) { return c.updateLight(id, LightChange{.on = true}); }},
        {"switching all lights",
         [](HueClient &c, const QString &id) { return c.setPower(HueSnapshot{.allLightsGroupID = id}, true); }},
    };
    for (const Case &c : cases) {
        for (const QString &id : ids) {
            SCOPED_TRACE(std::string(c.name) + " with the id \"" + id.toStdString() + "\"");
            ClientFixture fixture;

            EXPECT_EQ(fixture.run(c.operation(fixture.client, id)), "invalidResponse");
            EXPECT_TRUE(fixture.transport->requests().empty());
        }
    }
}

TEST(HueClient, SendsOnlyChangesWithinTheInterfaceRanges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *name;
        LightChange change;
        bool sent;
    };
    const Case cases[] = {
        {"switching only", LightChange{.on = true}, true},
        {"nothing at all", LightChange{}, false},
        {"full brightness", LightChange{.brightness = 100.0}, true},
        {"no brightness", LightChange{.brightness = 0.0}, true},
        {"above full brightness", LightChange{.brightness = 100.5}, false},
        {"below no brightness", LightChange{.brightness = -0.5}, false},
        {"brightness not a number", LightChange{.brightness = nan}, false},
        {"a colour on the edge", LightChange{.color = HueXY{0.7, 0.3}}, true},
        {"a colour beyond the edge", LightChange{.color = HueXY{0.7, 0.3001}}, false},
        {"a colour without y", LightChange{.color = HueXY{0.3, 0.0}}, false},
        {"too warm a white", LightChange{.temperature = 501}, false},
        {"the warmest white", LightChange{.temperature = 500}, true},
        {"the coolest white", LightChange{.temperature = 153}, true},
        {"too cool a white", LightChange{.temperature = 152}, false},
        {"colour and white together", LightChange{.color = HueXY{0.3, 0.3}, .temperature = 300}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture;
        fixture.transport->script({RecordingTransport::json(200, changedLight)});

        EXPECT_EQ(fixture.run(fixture.client.updateLight(lightId, c.change)), c.sent ? "ok" : "invalidResponse");
        EXPECT_EQ(fixture.transport->requests().size(), c.sent ? 1u : 0u);
    }
}

TEST(HueClient, PowerGoesToTheGroupedLightWhenThereIsOne)
{
    const QString otherLightId = QStringLiteral("3f1c1e8c-5d9a-4c53-9e7b-2c4a1b6f8e02");
    struct Case {
        const char *name;
        HueSnapshot snapshot;
        std::vector<QString> paths;
    };
    const QString lightPath = QStringLiteral("/clip/v2/resource/light/");
    const Case cases[] = {
        {"a home without lights", groupedSnapshot(), {QStringLiteral("/clip/v2/resource/grouped_light/") + groupId}},
        {"a home with lights", groupedSnapshot({light(lightId), light(otherLightId)}),
         {QStringLiteral("/clip/v2/resource/grouped_light/") + groupId}},
        {"a room: its reachable lights one by one",
         HueSnapshot{.lights = {light(lightId), light(QStringLiteral("unreachable"), false), light(otherLightId)}},
         {lightPath + lightId, lightPath + otherLightId}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClientFixture fixture;

        EXPECT_EQ(fixture.run(fixture.client.setPower(c.snapshot, true)), "ok");
        std::vector<QString> paths;
        for (const auto &request : fixture.transport->requests())
            paths.push_back(request.url.path());
        EXPECT_EQ(paths, c.paths);
    }
}
