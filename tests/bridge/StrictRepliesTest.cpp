#include "ClipFixtures.h"

#include <gtest/gtest.h>

using namespace vantora;
using runtime::DecodingError;
using vantora::testing::resourcesOf;

namespace {

// A light named `name` (JSON text, quotes included) beside a scene that carries `extra`.
QByteArray homeWith(const char *name, const char *extra)
{
    return QByteArrayLiteral(R"([{"id": "l", "type": "light", "metadata": {"name": )") + name
        + QByteArrayLiteral(R"(}}, {"id": "s", "type": "scene", "extra": )") + extra + "}]";
}

// The decoded light's name, or the fault's path and reason.
std::string outcomeOf(const QByteArray &array)
{
    try {
        return "name " + resourcesOf(array.constData()).front().metadata->name->toStdString();
    } catch (const DecodingError &error) {
        return "refused at '" + error.path().toStdString() + "'";
    }
}

} // namespace

TEST(StrictReplies, AReplyThatIsNotStrictJsonAnywhereIsRefusedAsAWhole)
{
    struct Row {
        const char *name;
        QByteArray array;
        std::string outcome;
    };
    const Row rows[] = {
        {"raw control character in a name", homeWith("\"Desk\x01lamp\"", "0"), "refused at ''"},
        {"raw tab inside a resource the model ignores", homeWith("\"Desk\"", "\"a\tb\""), "refused at ''"},
        {"escaped control character", homeWith(R"("Desk\u0009lamp")", "0"), "name Desk\tlamp"},
        {"lone high surrogate", homeWith(R"("Desk \ud83d")", "0"), "refused at ''"},
        {"lone low surrogate in an ignored resource", homeWith("\"Desk\"", R"("\ude00")"), "refused at ''"},
        {"high surrogate before another escape", homeWith(R"("\ud83d\u0041")", "0"), "refused at ''"},
        {"surrogate pair", homeWith(R"("Desk \ud83d\udca1")", "0"), "name Desk \xF0\x9F\x92\xA1"},
        {"number beyond a double in an ignored resource", homeWith("\"Desk\"", "-1e400"), "refused at ''"},
        {"integer beyond 64 bits", homeWith("\"Desk\"", "123456789012345678901234567890"), "refused at ''"},
        {"number that rounds to zero", homeWith("\"Desk\"", "1e-400"), "name Desk"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(outcomeOf(row.array), row.outcome);
    }
}

TEST(StrictReplies, IntegersMayBeWrittenAsWholeDoublesButStayWithin64Bits)
{
    const auto mirekOf = [](const char *mirek) {
        const QByteArray array = QByteArrayLiteral(R"([{"id": "l", "type": "light", "color_temperature": {"mirek": )")
            + mirek + "}}]";
        try {
            return std::to_string(*resourcesOf(array.constData()).front().color_temperature->mirek);
        } catch (const DecodingError &error) {
            return error.path().toStdString() + ": " + error.reason().toStdString();
        }
    };
    EXPECT_EQ(mirekOf("250.0"), "250");
    EXPECT_EQ(mirekOf("2.5e2"), "250");
    EXPECT_EQ(mirekOf("-9223372036854775808"), "-9223372036854775808");
    EXPECT_EQ(mirekOf("9223372036854775808"), "data[0].color_temperature.mirek: integer out of range");
    EXPECT_EQ(mirekOf("9.3e18"), "data[0].color_temperature.mirek: integer out of range");
    EXPECT_EQ(mirekOf("true"), "data[0].color_temperature.mirek: expected an integer");
}

TEST(StrictReplies, AResourceWithManyMembersIsReadAsAnyOther)
{
    QByteArray light = R"([{"id": "l", "type": "light", "on": {"on": true})";
    for (int extra = 0; extra < 40; ++extra)
        light += QByteArrayLiteral(", \"extra_") + QByteArray::number(extra) + "\": " + QByteArray::number(extra);
    light += R"(, "metadata": {"name": "Desk"}}])";
    const auto resources = resourcesOf(light.constData());
    EXPECT_TRUE(resources.front().on->on);
    EXPECT_EQ(resources.front().metadata->name, QStringLiteral("Desk"));
    EXPECT_EQ(outcomeOf(light.replace("\"Desk\"", "7")), "refused at 'data[0].metadata.name'");
}
