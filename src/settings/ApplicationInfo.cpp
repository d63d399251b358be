#include "settings/ApplicationInfo.h"

#include <vantora/BuildInfo.h>

namespace vantora {

namespace {

QString orFallback(const QString &value, const char *fallback)
{
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

QUrl httpsURL(const QString &host, const QString &path = {})
{
    if (host.isEmpty())
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(host);
    url.setPath(path);
    return url;
}

} // namespace

BuildFacts BuildFacts::compiledIn()
{
    return {
        QString::fromUtf8(buildinfo::version),
        QString::fromUtf8(buildinfo::buildNumber),
        QString::fromUtf8(buildinfo::supportEmail),
        QString::fromUtf8(buildinfo::webHost),
        QString::fromUtf8(buildinfo::socialHandle),
    };
}

ApplicationInfo::ApplicationInfo(BuildFacts facts)
    : m_version(orFallback(facts.version, "1.0.0"))
    , m_build(orFallback(facts.build, "1"))
    , m_reportVersion(orFallback(facts.version, "Development"))
    , m_webHost(std::move(facts.webHost))
    // A packager may write the handle as it is shown, "@name".
    , m_socialHandle(facts.socialHandle.startsWith(u'@') ? facts.socialHandle.mid(1) : std::move(facts.socialHandle))
{
    if (facts.supportEmail.contains(u'@'))
        m_supportEmail = std::move(facts.supportEmail);
}

const ApplicationInfo &ApplicationInfo::shared()
{
    static const ApplicationInfo info(BuildFacts::compiledIn());
    return info;
}

QUrl ApplicationInfo::websiteURL() const
{
    return httpsURL(m_webHost);
}

QUrl ApplicationInfo::releaseManifestURL() const
{
    return httpsURL(m_webHost, QStringLiteral("/releases/latest.json"));
}

QUrl ApplicationInfo::socialURL() const
{
    if (m_socialHandle.isEmpty())
        return {};
    return httpsURL(QStringLiteral("x.com"), u'/' + m_socialHandle);
}

std::optional<QUrl> ApplicationInfo::supportMailURL() const
{
    if (!m_supportEmail)
        return std::nullopt;
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(*m_supportEmail);
    return url;
}

} // namespace vantora
