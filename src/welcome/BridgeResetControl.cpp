#include "welcome/BridgeResetControl.h"

#include "onboarding/BridgeOnboarding.h"
#include "store/HalvetStore.h"
#include "ui/MessageBoxText.h"
#include "ui/ModalParent.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::BridgeResetControl)
};

// A warning box modal to `origin`'s window whose `action` button runs `then`, later; its
// Cancel (also Return, Escape and closing it) does nothing.
void askOnWindow(QWidget *origin, const QString &title, const QString &text, const QString &action,
                 std::function<void()> then)
{
    QWidget *parent = ui::modalParentFor(origin);
    auto *box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    ui::setPlainMessage(*box, title, text);
    QPushButton *accept = box->addButton(action, QMessageBox::AcceptRole);
    QPushButton *cancel = box->addButton(Texts::tr("Cancel"), QMessageBox::RejectRole);
    // Forgetting the bridge cannot be undone: Return must not do it.
    accept->setAutoDefault(false);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!parent)
        ui::placeLoneDialog(*box);
    QObject::connect(box, &QDialog::finished, box, [box, accept, then = std::move(then)] {
        if (box->clickedButton() == accept)
            then();
    });
    box->show();
    box->raise();
    box->activateWindow();
}

runtime::Task<void> forgetAndTell(QPointer<QWidget> origin, BridgeResetSteps steps, runtime::TaskScope &tasks)
{
    co_await steps.forgetBridge();
    if (!steps.isConnected()) {
        steps.returnOnboardingToReady();
        co_return;
    }
    const std::optional<QString> refusal = steps.refusal();
    if (!refusal || !origin)
        co_return;
    askOnWindow(origin, Texts::tr("The Bridge connection wasn’t reset"), *refusal, Texts::tr("Try Again"),
                [origin, steps, &tasks] {
                    if (origin)
                        tasks.spawn(forgetAndTell(origin, steps, tasks));
                });
}

} // namespace

BridgeResetControl makeBridgeResetControl(const BridgeResetConditions &conditions, QWidget *panel,
                                          BridgeResetSteps steps, runtime::TaskScope &tasks)
{
    return {
        conditions.canForgetBridge && !conditions.onboardingIsRunning,
        [panel = QPointer<QWidget>(panel), steps = std::move(steps), &tasks] {
            if (panel)
                askToResetBridge(panel, steps, tasks);
        },
    };
}

void askToResetBridge(QWidget *origin, BridgeResetSteps steps, runtime::TaskScope &tasks)
{
    askOnWindow(origin, Texts::tr("Reset this computer’s Bridge connection?"),
                Texts::tr("This forgets the saved connection and returns to setup. Your rooms, lights "
                          "and Hue app settings won’t change. You’ll need to press the Bridge button to "
                          "pair again."),
                Texts::tr("Reset connection"), [origin = QPointer<QWidget>(origin), steps = std::move(steps), &tasks] {
                    if (origin)
                        tasks.spawn(forgetAndTell(origin, steps, tasks));
                });
}

BridgeResetConditions bridgeResetConditions(const HalvetStore &store, const BridgeOnboarding &onboarding)
{
    return {.canForgetBridge = store.canForgetBridge(), .onboardingIsRunning = onboarding.isRunning()};
}

BridgeResetSteps bridgeResetSteps(HalvetStore &store, BridgeOnboarding &onboarding)
{
    return {
        .forgetBridge = [&store] { return store.disconnect(); },
        .isConnected = [&store] { return store.isConnected(); },
        .returnOnboardingToReady = [&onboarding] { onboarding.resetForNewConnection(); },
        .refusal = [&store]() -> std::optional<QString> {
            const std::optional<AppIssue> &issue = store.unexpectedIssue();
            if (!issue || issue->operation != AppIssue::Operation::forgetBridge)
                return std::nullopt;
            return store.errorMessage();
        },
    };
}

void confirmBridgeReset(HalvetStore &store, BridgeOnboarding &onboarding, QWidget *origin, runtime::TaskScope &tasks)
{
    const BridgeResetConditions conditions = bridgeResetConditions(store, onboarding);
    if (!conditions.canForgetBridge || conditions.onboardingIsRunning)
        return;
    askToResetBridge(origin, bridgeResetSteps(store, onboarding), tasks);
}

} // namespace vantora
