#include "ClipFixtures.h"
#include "ResourceListProbe.h"

#include <QDir>

#include <gtest/gtest.h>

using vantora::runtime::DecodingError;
using vantora::testing::probeResourceListReply;

namespace {

enum class Outcome { decoded, decodingError, otherError };

Outcome outcomeOf(const QByteArray &reply)
{
    try {
        probeResourceListReply(reply);
        return Outcome::decoded;
    } catch (const DecodingError &) {
        return Outcome::decodingError;
    } catch (...) {
        return Outcome::otherError;
    }
}

} // namespace

TEST(MalformedResources, SeedCorpusDecodes)
{
    const QDir corpus(QStringLiteral(VANTORA_FUZZ_CORPUS_DIR));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QString &seed : seeds) {
        SCOPED_TRACE(seed.toStdString());
        QFile file(corpus.filePath(seed));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(outcomeOf(file.readAll()), Outcome::decoded);
    }
}

TEST(MalformedResources, BrokenRepliesFailOnlyWithADecodingError)
{
    const QByteArray home = vantora::testing::clipFixture("home.json");
    const QByteArray deepNesting = QByteArray(100000, '[') + QByteArray(100000, ']');
    struct Row {
        const char *name;
        QByteArray reply;
        Outcome outcome;
    };
    const Row rows[] = {
        {"empty body", QByteArray(), Outcome::decodingError},
        {"truncated home", home.left(home.size() / 2), Outcome::decodingError},
        {"text", QByteArrayLiteral("<html>Bridge busy</html>"), Outcome::decodingError},
        {"bare scalar", QByteArrayLiteral("42"), Outcome::decodingError},
        {"array instead of envelope", QByteArrayLiteral("[]"), Outcome::decodingError},
        {"data missing", QByteArrayLiteral(R"({"errors": []})"), Outcome::decodingError},
        {"data null", QByteArrayLiteral(R"({"errors": [], "data": null})"), Outcome::decodingError},
        {"data an object", QByteArrayLiteral(R"({"data": {"id": "x", "type": "light"}})"), Outcome::decodingError},
        {"element a string", QByteArrayLiteral(R"({"data": ["light"]})"), Outcome::decodingError},
        {"deep nesting", deepNesting, Outcome::decodingError},
        {"invalid UTF-8 in a name",
         QByteArrayLiteral("{\"data\": [{\"id\": \"l\", \"type\": \"light\", \"metadata\": {\"name\": \"\xff\xfe\"}}]}"),
         Outcome::decodingError},
        {"NUL inside a name", QByteArray("{\"errors\": [], \"data\": [{\"id\": \"l\", \"type\": \"light\", \"metadata\": {\"name\": \"a\\u0000b\"}}]}"),
         Outcome::decoded},
        {"NUL byte in the body", QByteArray("{\"data\": []}\0garbage", 20), Outcome::decodingError},
        {"brightness beyond double", QByteArrayLiteral(R"({"data": [{"id": "l", "type": "light", "dimming": {"brightness": 1e999}}]})"),
         Outcome::decodingError},
        {"mirek beyond 64 bits", QByteArrayLiteral(R"({"data": [{"id": "l", "type": "light", "color_temperature": {"mirek": 1e30}}]})"),
         Outcome::decodingError},
        {"colour far outside the diagram with a degenerate gamut",
         QByteArrayLiteral(R"({"errors": [], "data": [{"id": "l", "type": "light", "color": {"xy": {"x": -5, "y": 1e-300},
            "gamut": {"red": {"x": 0.5, "y": 0.5}, "green": {"x": 0.5, "y": 0.5}, "blue": {"x": 0.5, "y": 0.5}}}}]})"),
         Outcome::decoded},
        {"room listing itself and a cycle of owners",
         QByteArrayLiteral(R"({"errors": [], "data": [{"id": "r", "type": "room", "owner": {"rid": "l", "rtype": "light"}, "children": [{"rid": "r", "rtype": "device"}]},
            {"id": "l", "type": "light", "owner": {"rid": "r", "rtype": "room"}}]})"),
         Outcome::decoded},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(outcomeOf(row.reply), row.outcome);
    }
}
