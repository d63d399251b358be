#include "settings/LoginItemController.h"

#include "settings/Alert.h"
#include "settings/XdgAutostart.h"

#include <QCoreApplication>
#include <QPointer>

#include <array>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::LoginItemController)
};

constexpr std::array previewFlags{
    "--demo",           "--welcome-preview",  "--slow-preview",       "--arrival-preview",
    "--preview-error",  "--preview-expired-key", "--menu-preview",    "--motion-preview",
    "--brightness-preview", "--shortcut-preview", "--empty-preview",  "--preview-window",
    "--2x-preview",
};

} // namespace

LaunchKind launchKindOf(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        for (const char *flag : previewFlags) {
            if (arguments.at(i) == QLatin1String(flag))
                return LaunchKind::preview;
        }
    }
    return LaunchKind::regular;
}

LoginItemController::LoginItemController(std::unique_ptr<LoginItemBackend> backend, LaunchKind launch,
                                         AlertPresenter &alerts, QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
    , m_launch(launch)
    , m_alerts(alerts)
{
}

LoginItemController &LoginItemController::shared()
{
    static LoginItemController *const controller = new LoginItemController(
        std::make_unique<XdgAutostart>(XdgAutostart::forRunningProgram()), launchKindOf(QCoreApplication::arguments()),
        MessageBoxAlerts::shared(), QCoreApplication::instance());
    return *controller;
}

void LoginItemController::setEnabled(bool enabled, QWidget *origin)
{
    // A demonstration changes nothing of the desktop's; the setting goes on showing the truth.
    if (m_launch == LaunchKind::preview) {
        refresh();
        return;
    }
    const LoginItemStatus status = m_backend->status();
    try {
        if (!enabled && status != LoginItemStatus::notRegistered)
            m_backend->unregisterItem();
        if (enabled && status != LoginItemStatus::enabled && status != LoginItemStatus::requiresApproval)
            m_backend->registerItem();
    } catch (const LoginItemError &error) {
        refresh();
        showAlert(m_alerts, origin, Texts::tr("Couldn’t change Start at Login"), error.localizedDescription());
        return;
    }
    if (enabled && m_backend->status() == LoginItemStatus::requiresApproval) {
        askForApproval(origin);
        return;
    }
    refresh();
}

void LoginItemController::refresh()
{
    m_isEnabled.set(m_backend->status() == LoginItemStatus::enabled);
}

void LoginItemController::askForApproval(QWidget *origin)
{
    const Alert approval{
        Texts::tr("Allow vantora to start at login"),
        Texts::tr("Enable vantora in your desktop’s startup applications settings."),
        Texts::tr("Open Settings"),
        Texts::tr("Cancel"),
    };
    m_alerts.present(approval, origin, [self = QPointer(this)](AlertAnswer answer) {
        if (!self)
            return;
        if (answer == AlertAnswer::confirmed)
            self->m_backend->openApprovalSettings();
        self->refresh();
    });
}

} // namespace vantora
