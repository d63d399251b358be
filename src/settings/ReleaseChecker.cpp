#include "settings/ReleaseChecker.h"

#include "settings/Alert.h"
#include "settings/ApplicationInfo.h"
#include "settings/ReleaseManifest.h"

#include "runtime/ExternalWait.h"

#include <QCoreApplication>
#include <QWidget>

#include <optional>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::ReleaseChecker)
};

runtime::Task<AlertAnswer> answerTo(AlertPresenter &alerts, Alert alert, QPointer<QWidget> origin)
{
    runtime::ExternalWait<AlertAnswer> answer([&](runtime::Completer<AlertAnswer> done) {
        alerts.present(alert, origin.data(), [done](AlertAnswer given) { done.resolve(given); });
    });
    const AlertAnswer given = co_await answer;
    co_return given;
}

} // namespace

struct ReleaseChecker::Outcome {
    Alert alert;
    // The page that confirming the alert opens.
    std::optional<QUrl> download;
};

ReleaseChecker::ReleaseChecker(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
}

ReleaseChecker &ReleaseChecker::shared()
{
    // Owned by the application, so that a check still running at exit ends with it, while
    // the network stack is still there.
    static ReleaseChecker *const checker = new ReleaseChecker([] {
        const ApplicationInfo &info = ApplicationInfo::shared();
        Options options;
        options.manifestURL = info.releaseManifestURL();
        options.webHost = info.webHost();
        options.runningVersion = info.version();
        options.runningBuild = info.build();
        options.alerts = &MessageBoxAlerts::shared();
        options.openURL = desktopUrlOpener();
        return options;
    }(), QCoreApplication::instance());
    return *checker;
}

void ReleaseChecker::check(QWidget *origin)
{
    if (isChecking())
        return;
    m_isChecking.set(true);
    m_tasks.spawn(run(QPointer(origin)));
}

runtime::Task<void> ReleaseChecker::run(QPointer<QWidget> origin)
{
    Outcome outcome;
    try {
        outcome = co_await fetchOutcome();
    } catch (const std::exception &) {
        // Whatever failed, the user learns only that the check did; the light controls
        // do not depend on it.
        outcome = {failureAlert(), std::nullopt};
    }
    const AlertAnswer answer = co_await answerTo(*m_options.alerts, outcome.alert, origin);
    if (answer == AlertAnswer::confirmed && outcome.download)
        m_options.openURL(*outcome.download);
    m_isChecking.set(false);
}

runtime::Task<ReleaseChecker::Outcome> ReleaseChecker::fetchOutcome() const
{
    // A build without a web host has nowhere to ask, and nothing failed: its updates come
    // from wherever it was installed from.
    if (m_options.manifestURL.host().isEmpty()) {
        co_return Outcome{
            Alert::notice(Texts::tr("This build doesn’t check for updates"),
                          Texts::tr("This build of vantora names no place to check for updates. Updates come from "
                                    "where you installed it.")),
            std::nullopt,
        };
    }
    platform::PublicHttpsSession session({m_options.timeouts, maximumManifestSize});
#ifdef VANTORA_TEST_HOOKS
    session.setExtraRootsForTesting(m_options.extraRoots);
#endif
    const platform::HttpResponse response = co_await session.get(m_options.manifestURL);
    if (response.status != 200 || response.body.size() >= maximumManifestSize)
        throw runtime::NetworkError(runtime::NetworkErrorCode::badServerResponse,
                                    QStringLiteral("status %1").arg(response.status));
    const ReleaseManifest manifest = ReleaseManifest::read(response.body);

    // A running version that cannot be compared must not pass for the latest one.
    const std::optional<ReleaseVersion> running = ReleaseVersion::parse(m_options.runningVersion);
    if (!running)
        throw runtime::DecodingError({}, QStringLiteral("the running version does not parse"));

    if (!manifest.isNewer(*running, buildNumberOf(m_options.runningBuild))) {
        co_return Outcome{
            Alert::notice(Texts::tr("You’re up to date"),
                          Texts::tr("vantora %1 is the latest version available for download.")
                              .arg(m_options.runningVersion)),
            std::nullopt,
        };
    }
    co_return Outcome{
        Alert{
            Texts::tr("vantora %1 is available").arg(manifest.version),
            Texts::tr("You have version %1. Open the download page to install the new version.")
                .arg(m_options.runningVersion),
            Texts::tr("Open download"),
            Texts::tr("Later"),
        },
        manifest.downloadURL,
    };
}

Alert ReleaseChecker::failureAlert() const
{
    const QString title = Texts::tr("Couldn’t check for updates");
    if (m_options.webHost.isEmpty())
        return Alert::notice(
            title, Texts::tr("Check your internet connection and try again. Your light controls still work locally."));
    return Alert::notice(title,
                         Texts::tr("Check your internet connection and try again. You can also find releases at "
                                   "%1/releases/. Your light controls still work locally.")
                             .arg(m_options.webHost));
}

} // namespace vantora
