#pragma once

#include "settings/UrlOpener.h"

#include "platform/https/PublicHttpsSession.h"
#include "runtime/Property.h"
#include "runtime/TaskScope.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace vantora {

class AlertPresenter;
struct Alert;

// The update check the user asks for: reads the release manifest from the product's web
// host, compares it with the running release and ends with exactly one alert: the check
// failed, the application is up to date, or a newer release is available (whose "Open
// download" opens its page in the browser); a build that names no web host says so instead.
// Nothing is downloaded, stored or remembered.
// Main thread only.
class ReleaseChecker final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 maximumManifestSize = 100'000;

    struct Options {
        QUrl manifestURL;
        // Quoted in the failure alert as where releases can be found by hand; empty when the
        // build names none, and then the alert names no address.
        QString webHost;
        QString runningVersion;
        QString runningBuild;
        // 15 s without progress, 20 s in all.
        platform::RequestTimeouts timeouts{std::chrono::seconds(15), std::chrono::seconds(20)};
        AlertPresenter *alerts = nullptr;
        UrlOpener openURL;
#ifdef VANTORA_TEST_HOOKS
        QList<QSslCertificate> extraRoots;
#endif
    };

    explicit ReleaseChecker(Options options, QObject *parent = nullptr);

    // The application's checker: this build's version and web host, the desktop's message
    // boxes and browser.
    static ReleaseChecker &shared();

    // From the moment a check starts until its alert has been answered.
    bool isChecking() const { return *m_isChecking; }

    // Starts a check, unless one runs: then nothing happens at all. Returns at once. The
    // alert is modal to `origin`'s window while it exists, else to the application.
    void check(QWidget *origin = nullptr);

Q_SIGNALS:
    void isCheckingChanged();

private:
    struct Outcome;

    runtime::Task<void> run(QPointer<QWidget> origin);
    runtime::Task<Outcome> fetchOutcome() const;
    Alert failureAlert() const;

    Options m_options;
    runtime::Property<bool> m_isChecking{false, [this] { Q_EMIT isCheckingChanged(); }};
    // Last: its tasks end before the members they use.
    runtime::TaskScope m_tasks{runtime::mainExecutor()};
};

} // namespace vantora
