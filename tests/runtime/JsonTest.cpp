#include "runtime/Json.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using vantora::runtime::DecodingError;
using vantora::runtime::json::ObjectReader;
using vantora::runtime::json::parse;

namespace {

ObjectReader reader(const char *text)
{
    return ObjectReader(parse(QByteArray(text)).toObject(), QStringLiteral("root"));
}

// Runs `decodeIt` and answers the DecodingError's path, or "no error".
template <typename F>
std::string failurePath(F &&decodeIt)
{
    try {
        decodeIt();
    } catch (const DecodingError &error) {
        return error.path().toStdString();
    }
    return "no error";
}

} // namespace

TEST(StrictJson, RequiredKeysMustBePresentNonNullAndOfTheirType)
{
    const auto object = reader(R"({"name": "Hall", "nothing": null, "count": 3, "flag": true, "ratio": 1.5, "big": 1e300})");
    EXPECT_EQ(object.required<QString>(u"name"), QStringLiteral("Hall"));
    EXPECT_EQ(object.required<int>(u"count"), 3);
    EXPECT_DOUBLE_EQ(object.required<double>(u"count"), 3.0);

    struct Row {
        const char *name;
        std::function<void()> decode;
        std::string path;
    };
    const Row rows[] = {
        {"missing key", [&] { object.required<QString>(u"absent"); }, "root.absent"},
        {"null for a required key", [&] { object.required<QString>(u"nothing"); }, "root.nothing"},
        {"number where a string is required", [&] { object.required<QString>(u"count"); }, "root.count"},
        {"string where a number is required", [&] { object.required<double>(u"name"); }, "root.name"},
        {"bool where an integer is required", [&] { object.required<int>(u"flag"); }, "root.flag"},
        {"1.5 for an integer", [&] { object.required<int>(u"ratio"); }, "root.ratio"},
        {"integer out of range", [&] { object.required<int>(u"big"); }, "root.big"},
        {"object where an array is required", [&] { object.required<QJsonArray>(u"name"); }, "root.name"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(failurePath(row.decode), row.path);
    }
}

TEST(StrictJson, OptionalKeysMissingOrNullAreAbsentButWrongTypesStillFail)
{
    const auto object = reader(R"({"nothing": null, "text": "x"})");
    EXPECT_FALSE(object.optional<int>(u"nothing"));
    EXPECT_FALSE(object.optional<int>(u"absent"));
    EXPECT_EQ(failurePath([&] { object.optional<int>(u"text"); }), "root.text");
}

TEST(StrictJson, UnknownKeysAreIgnoredAndNestedPathsAreReported)
{
    const auto object = reader(R"({"data": [{"id": "a", "extra": {"x": 1}}, {"id": 5}]})");
    const auto items = object.required<QJsonArray>(u"data");
    EXPECT_EQ(failurePath([&] {
                  vantora::runtime::json::decodeArray(items, object.pathOf(u"data"), [](const QJsonValue &value, const QString &path) {
                      return vantora::runtime::json::decode<ObjectReader>(value, path).required<QString>(u"id");
                  });
              }),
              "root.data[1].id");
}

TEST(StrictJson, DocumentsMustBeObjectsOrArrays)
{
    EXPECT_TRUE(parse("[1, 2]").isArray());
    EXPECT_TRUE(parse("{}").isObject());
    for (const char *text : {"", "   ", "{", "42", "\"text\"", "null", "{\"a\": 1,}"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parse(QByteArray(text)), DecodingError);
    }
}

TEST(StrictJson, IntegersKeepTheirExactValue)
{
    const auto object = reader(R"({"large": 9007199254740993, "negative": -153, "float": 153.0,
        "smallest": -9223372036854775808, "largest": 9223372036854775807})");
    EXPECT_EQ(object.required<qint64>(u"large"), 9007199254740993LL);
    EXPECT_EQ(object.required<qint64>(u"smallest"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(object.required<qint64>(u"largest"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(object.required<int>(u"negative"), -153);
    EXPECT_EQ(object.required<int>(u"float"), 153) << "an integral number is an integer";
}
