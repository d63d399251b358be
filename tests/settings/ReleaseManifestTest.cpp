#include "settings/ReleaseManifest.h"

#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using vantora::buildNumberOf;
using vantora::ReleaseManifest;
using vantora::ReleaseVersion;

namespace {

std::optional<std::array<qint64, 3>> componentsOf(const char *text)
{
    const auto version = ReleaseVersion::parse(QString::fromUtf8(text));
    if (!version)
        return std::nullopt;
    return version->components;
}

ReleaseVersion version(const char *text)
{
    return *ReleaseVersion::parse(QString::fromUtf8(text));
}

QJsonObject validManifest()
{
    return {
        {"version", "1.2"},
        {"build", 5},
        {"minimumMacOS", "0"},
        {"downloadURL", "https://vantora.example/download"},
        {"notesURL", "https://vantora.example/notes"},
    };
}

QByteArray withMember(const char *key, const QJsonValue &value)
{
    QJsonObject manifest = validManifest();
    if (value.isUndefined())
        manifest.remove(QString::fromUtf8(key));
    else
        manifest.insert(QString::fromUtf8(key), value);
    return QJsonDocument(manifest).toJson();
}

} // namespace

TEST(ReleaseVersionTest, ReadsOneToThreeNumbersAndRefusesEverythingElse)
{
    using Components = std::array<qint64, 3>;
    struct Row {
        const char *text;
        std::optional<Components> components;
    };
    const std::vector<Row> rows = {
        {"2", Components{2, 0, 0}},
        {"1.10", Components{1, 10, 0}},
        {"01.2", Components{1, 2, 0}},
        {"1.2.3", Components{1, 2, 3}},
        {"9223372036854775807", Components{9223372036854775807, 0, 0}},
        {"", std::nullopt},
        {"1.2.3.4", std::nullopt},
        {"1..2", std::nullopt},
        {"1.2.", std::nullopt},
        {".1", std::nullopt},
        {"v1.2", std::nullopt},
        {"+1.2", std::nullopt},
        {"-1", std::nullopt},
        {"1 .2", std::nullopt},
        {"1.0 beta", std::nullopt},
        {"9223372036854775808", std::nullopt},
        {"١.٢", std::nullopt}, // digits of another script
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(componentsOf(row.text), row.components);
    }
}

TEST(ReleaseVersionTest, OrdersByMajorThenMinorThenPatch)
{
    EXPECT_GT(version("1.10"), version("1.9"));
    EXPECT_EQ(version("1.2"), version("1.2.0"));
    EXPECT_LT(version("2.0.0"), version("10.0"));
    EXPECT_GT(version("1.0.1"), version("1"));
}

TEST(ReleaseVersionTest, BuildNumbersThatAreNotIntegersCountAsZero)
{
    EXPECT_EQ(buildNumberOf("12"), 12);
    EXPECT_EQ(buildNumberOf("+7"), 7);
    EXPECT_EQ(buildNumberOf("-3"), -3);
    EXPECT_EQ(buildNumberOf("1.2"), 0);
    EXPECT_EQ(buildNumberOf("12a"), 0);
    EXPECT_EQ(buildNumberOf(""), 0);
    EXPECT_EQ(buildNumberOf(" 12"), 0);
    EXPECT_EQ(buildNumberOf("12 "), 0);
}

TEST(ReleaseManifestTest, NewerByVersionFirstThenByBuild)
{
    struct Row {
        std::string name;
        const char *manifestVersion;
        qint64 manifestBuild;
        const char *runningVersion;
        qint64 runningBuild;
        bool newer;
    };
    const std::vector<Row> rows = {
        {"equal versions, greater build", "1.2", 5, "1.2.0", 4, true},
        {"equal versions, equal build", "1.2", 5, "1.2.0", 5, false},
        {"equal versions, smaller build", "1.2", 5, "1.2.0", 6, false},
        {"greater minor, numerically", "1.10.0", 1, "1.9.9", 99, true},
        {"smaller major, whatever the build", "2.0.0", 99, "10.0", 1, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ReleaseManifest manifest = ReleaseManifest::read(withMember("version", QString::fromUtf8(row.manifestVersion)));
        manifest.build = row.manifestBuild;
        EXPECT_EQ(manifest.isNewer(version(row.runningVersion), row.runningBuild), row.newer);
    }
}

TEST(ReleaseManifestTest, ReadsAValidManifestIgnoringUnknownKeys)
{
    QJsonObject document = validManifest();
    document.insert("channel", "stable");
    const ReleaseManifest manifest = ReleaseManifest::read(QJsonDocument(document).toJson());
    EXPECT_EQ(manifest.version, "1.2");
    EXPECT_EQ(manifest.build, 5);
    EXPECT_EQ(manifest.downloadURL, QUrl("https://vantora.example/download"));
}

TEST(ReleaseManifestTest, RefusesMalformedDocumentsAndEachBrokenRule)
{
    enum class Refusal { decoding, validation };
    struct Row {
        std::string name;
        QByteArray json;
        Refusal refusal;
    };
    const std::vector<Row> rows = {
        {"not JSON", "{\"version\": ", Refusal::decoding},
        {"an array", "[]", Refusal::decoding},
        {"missing version", withMember("version", QJsonValue::Undefined), Refusal::decoding},
        {"missing notes", withMember("notesURL", QJsonValue::Undefined), Refusal::decoding},
        {"build as a string", withMember("build", "5"), Refusal::decoding},
        {"build as a fraction", withMember("build", 5.5), Refusal::decoding},
        {"version as a number", withMember("version", 1.2), Refusal::decoding},
        {"download URL that is no URL", withMember("downloadURL", "https://exa mple.com"), Refusal::decoding},
        {"four-part version", withMember("version", "1.2.3.4"), Refusal::validation},
        {"two dots in a row", withMember("version", "1..2"), Refusal::validation},
        {"empty version", withMember("version", ""), Refusal::validation},
        {"letter before the version", withMember("version", "v1.2"), Refusal::validation},
        {"minimum system with a word", withMember("minimumMacOS", "15 beta"), Refusal::validation},
        {"build zero", withMember("build", 0), Refusal::validation},
        {"negative build", withMember("build", -4), Refusal::validation},
        {"plain http download", withMember("downloadURL", "http://vantora.example/d"), Refusal::validation},
        {"upper-case scheme", withMember("downloadURL", "HTTPS://vantora.example/d"), Refusal::validation},
        {"download without a host", withMember("downloadURL", "https:///download"), Refusal::validation},
        {"download with a user", withMember("downloadURL", "https://me@vantora.example/d"), Refusal::validation},
        {"download with a password", withMember("downloadURL", "https://me:pw@vantora.example/d"), Refusal::validation},
        {"download with an empty user", withMember("downloadURL", "https://@vantora.example/d"), Refusal::validation},
        {"notes with an empty user and password", withMember("notesURL", "https://:@vantora.example/n"), Refusal::validation},
        {"notes over plain http", withMember("notesURL", "http://vantora.example/n"), Refusal::validation},
        {"notes with a user", withMember("notesURL", "https://me@vantora.example/n"), Refusal::validation},
        {"mail link as notes", withMember("notesURL", "mailto:someone@vantora.example"), Refusal::validation},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.refusal == Refusal::decoding)
            EXPECT_THROW(ReleaseManifest::read(row.json), vantora::runtime::DecodingError);
        else
            EXPECT_THROW(ReleaseManifest::read(row.json), vantora::HueError);
    }
}
