#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace vantora {

// The build facts as they were configured; an empty text means the fact was left out.
struct BuildFacts final {
    QString version;
    QString build;
    QString supportEmail;
    QString webHost;
    QString socialHandle;

    // The facts compiled into this program.
    static BuildFacts compiledIn();
};

// What the application says about itself: its version and build, where it lives on the web
// and where support is reached. Made once from the build facts; never changes afterwards.
class ApplicationInfo final {
public:
    explicit ApplicationInfo(BuildFacts facts);

    // The one instance for this program, made on first use.
    static const ApplicationInfo &shared();

    // "1.0.0" when the version was left out.
    const QString &version() const noexcept { return m_version; }
    // "1" when the build number was left out.
    const QString &build() const noexcept { return m_build; }
    // The version an error report names: "Development" when it was left out.
    const QString &reportVersion() const noexcept { return m_reportVersion; }
    // None unless the configured address contains "@".
    const std::optional<QString> &supportEmail() const noexcept { return m_supportEmail; }
    // Empty when the build names no web host.
    const QString &webHost() const noexcept { return m_webHost; }
    // The handle on X without its "@"; empty when the build names none.
    const QString &socialHandle() const noexcept { return m_socialHandle; }

    // Both empty without a web host: no address is made up.
    QUrl websiteURL() const;
    QUrl releaseManifestURL() const;
    // Empty without a handle.
    QUrl socialURL() const;
    // None without a support address.
    std::optional<QUrl> supportMailURL() const;

private:
    QString m_version;
    QString m_build;
    QString m_reportVersion;
    std::optional<QString> m_supportEmail;
    QString m_webHost;
    QString m_socialHandle;
};

} // namespace vantora
