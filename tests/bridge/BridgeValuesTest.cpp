#include "bridge/BridgeAddress.h"
#include "bridge/BridgeConnection.h"
#include "bridge/BridgeInfo.h"
#include "bridge/HueError.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace vantora;
using runtime::DecodingError;
namespace json = runtime::json;

namespace {

template <typename T>
T decoded(const char *text)
{
    return json::decode<T>(json::parse(QByteArray(text)), QStringLiteral("root"));
}

} // namespace

TEST(BridgeAddress, AcceptsTrimmedIpLiteralsAsTyped)
{
    struct Row {
        const char *name;
        QString text;
        QString host;
    };
    const Row rows[] = {
        {"IPv4 with a leading blank and a trailing newline", QStringLiteral(" 192.168.1.20\n"), QStringLiteral("192.168.1.20")},
        {"IPv6 loopback", QStringLiteral("::1"), QStringLiteral("::1")},
        {"IPv6 kept in its typed form", QStringLiteral("\tFE80:0:0::1 "), QStringLiteral("FE80:0:0::1")},
        {"IPv4-mapped IPv6", QStringLiteral("::ffff:10.0.0.2"), QStringLiteral("::ffff:10.0.0.2")},
        {"Unicode spaces around", QStringLiteral("\u00A010.0.0.1\u2028"), QStringLiteral("10.0.0.1")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BridgeAddress::validated(row.text).host, row.host);
    }
}

TEST(BridgeAddress, RefusesEverythingButIpLiterals)
{
    struct Row {
        const char *name;
        QString text;
    };
    const Row rows[] = {
        {"empty", QString()},
        {"blank", QStringLiteral(" \n")},
        {"host name", QStringLiteral("bridge.example")},
        {"multicast DNS name", QStringLiteral("Hue-Bridge.local")},
        {"IPv6 in brackets", QStringLiteral("[::1]")},
        {"with a port", QStringLiteral("192.168.1.20:443")},
        {"inner space", QStringLiteral("192.168. 1.20")},
        {"leading zeros", QStringLiteral("192.168.001.020")},
        {"a URL", QStringLiteral("https://192.168.1.20")},
        {"valid prefix before a NUL", QStringLiteral("192.168.1.20") + QChar(u'\0') + QStringLiteral("evil")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            BridgeAddress::validated(row.text);
            ADD_FAILURE() << "accepted";
        } catch (const HueError &error) {
            EXPECT_EQ(error, HueError::invalidAddress());
        }
    }
}

TEST(BridgeAddress, BuildsHttpsUrlsWithBracketedIpv6)
{
    EXPECT_EQ(BridgeAddress{QStringLiteral("192.168.1.20")}.url(QStringLiteral("/api/config")).toString(),
              QStringLiteral("https://192.168.1.20/api/config"));
    EXPECT_EQ(BridgeAddress{QStringLiteral("::1")}.url(QStringLiteral("/api")).toString(),
              QStringLiteral("https://[::1]/api"));
    EXPECT_EQ(BridgeAddress{QStringLiteral("10.0.0.1")}.url(QStringLiteral("/clip/v2/resource/light/a b%")).toEncoded(),
              QByteArray("https://10.0.0.1/clip/v2/resource/light/a%20b%25"));
    EXPECT_THROW(BridgeAddress{QStringLiteral("10.0.0.1")}.url(QStringLiteral("api")), HueError);
}

TEST(BridgeValues, JsonRoundTripsAndRequiresEveryKey)
{
    const BridgeConnection connection{
        .address = BridgeAddress{QStringLiteral("fe80::1")},
        .bridgeID = QStringLiteral("001788fffe123456"),
        .name = QStringLiteral("Hue Bridge"),
        .applicationKey = QStringLiteral("key"),
    };
    const QByteArray text = QJsonDocument(toJson(connection)).toJson();
    EXPECT_EQ(json::decode<BridgeConnection>(json::parse(text), {}), connection);

    EXPECT_THROW(decoded<BridgeConnection>(R"({"address": {"host": "1.2.3.4"}, "name": "n", "applicationKey": "k"})"),
                 DecodingError);
    EXPECT_THROW(decoded<BridgeConnection>(R"({"address": "1.2.3.4", "bridgeID": "b", "name": "n", "applicationKey": "k"})"),
                 DecodingError);
    EXPECT_EQ(decoded<BridgeConnection>(R"({"address": {"host": "not an address"}, "bridgeID": "b", "name": "n", "applicationKey": "k"})")
                  .address.host,
              QStringLiteral("not an address"))
        << "a stored host is used as it is";
}

TEST(BridgeValues, BridgeInfoModelIdIsOptionalAndPartOfEquality)
{
    const auto withModel = decoded<BridgeInfo>(R"({"bridgeid": "001788FFFE123456", "name": "Home", "modelid": "BSB002", "mac": "x"})");
    const auto nullModel = decoded<BridgeInfo>(R"({"bridgeid": "001788FFFE123456", "name": "Home", "modelid": null})");
    const auto noModel = decoded<BridgeInfo>(R"({"bridgeid": "001788FFFE123456", "name": "Home"})");
    EXPECT_EQ(withModel.modelid, QStringLiteral("BSB002"));
    EXPECT_EQ(nullModel, noModel);
    EXPECT_NE(withModel, noModel);
    EXPECT_EQ(json::decode<BridgeInfo>(toJson(withModel), {}), withModel);
    EXPECT_EQ(json::decode<BridgeInfo>(toJson(noModel), {}), noModel);
    EXPECT_THROW(decoded<BridgeInfo>(R"({"name": "Home"})"), DecodingError);
}
