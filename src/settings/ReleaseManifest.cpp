#include "settings/ReleaseManifest.h"

#include "bridge/HueError.h"
#include "runtime/Json.h"

namespace vantora {

namespace {

using runtime::json::ObjectReader;

// A link as written and as read: QUrl lowers a scheme's case, and the scheme must be
// exactly "https" as written.
struct Link {
    QString text;
    QUrl url;
};

Link decodeLink(const ObjectReader &document, QStringView key)
{
    QString text = document.required<QString>(key);
    QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid())
        throw runtime::DecodingError(document.pathOf(key), QStringLiteral("not a URL"));
    return {std::move(text), std::move(url)};
}

ReleaseVersion validVersion(const QString &text)
{
    const std::optional<ReleaseVersion> version = ReleaseVersion::parse(text);
    if (!version)
        throw HueError::invalidResponse();
    return *version;
}

void requireSafeLink(const Link &link)
{
    // Any user part counts, an empty one ("https://@host/") too.
    if (!link.text.startsWith(QLatin1String("https:")) || link.url.host().isEmpty()
        || link.url.authority().contains(QLatin1Char('@')))
        throw HueError::invalidResponse();
}

} // namespace

ReleaseManifest ReleaseManifest::read(const QByteArray &json)
{
    const ObjectReader document(runtime::json::decode<QJsonObject>(runtime::json::parse(json), {}));
    ReleaseManifest manifest;
    manifest.version = document.required<QString>(u"version");
    manifest.build = document.required<qint64>(u"build");
    manifest.minimumMacOS = document.required<QString>(u"minimumMacOS");
    const Link download = decodeLink(document, u"downloadURL");
    const Link notes = decodeLink(document, u"notesURL");

    manifest.releaseVersion = validVersion(manifest.version);
    validVersion(manifest.minimumMacOS);
    if (manifest.build < 1)
        throw HueError::invalidResponse();
    requireSafeLink(download);
    requireSafeLink(notes);
    manifest.downloadURL = download.url;
    manifest.notesURL = notes.url;
    return manifest;
}

bool ReleaseManifest::isNewer(const ReleaseVersion &runningVersion, qint64 runningBuild) const
{
    if (releaseVersion != runningVersion)
        return releaseVersion > runningVersion;
    return build > runningBuild;
}

} // namespace vantora
