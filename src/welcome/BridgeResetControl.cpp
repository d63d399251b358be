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

} // namespace

BridgeResetControl makeBridgeResetControl(const BridgeResetConditions &conditions, QWidget *panel,
                                          BridgeResetSteps steps)
{
    return {
        conditions.canForgetBridge && !conditions.onboardingIsRunning,
        [panel = QPointer<QWidget>(panel), steps = std::move(steps)] {
            if (panel)
                askToResetBridge(panel, steps);
        },
    };
}

void askToResetBridge(QWidget *origin, BridgeResetSteps steps)
{
    QWidget *parent = ui::modalParentFor(origin);
    auto *box = new QMessageBox(parent);
    box->setIcon(QMessageBox::Warning);
    ui::setPlainMessage(*box, Texts::tr("Reset this computer’s Bridge connection?"),
                        Texts::tr("This forgets the saved connection and returns to setup. Your rooms, lights "
                                  "and Hue app settings won’t change. You’ll need to press the Bridge button to "
                                  "pair again."));
    QPushButton *reset = box->addButton(Texts::tr("Reset connection"), QMessageBox::AcceptRole);
    QPushButton *cancel = box->addButton(Texts::tr("Cancel"), QMessageBox::RejectRole);
    // Forgetting the bridge cannot be undone: Return must not do it.
    reset->setAutoDefault(false);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!parent)
        ui::placeLoneDialog(*box);
    QObject::connect(box, &QDialog::finished, box, [box, reset, steps = std::move(steps)] {
        if (box->clickedButton() != reset)
            return;
        steps.forgetBridge();
        if (!steps.isConnected())
            steps.returnOnboardingToReady();
    });
    box->show();
    box->raise();
    box->activateWindow();
}

BridgeResetConditions bridgeResetConditions(const HalvetStore &store, const BridgeOnboarding &onboarding)
{
    return {.canForgetBridge = store.canForgetBridge(), .onboardingIsRunning = onboarding.isRunning()};
}

BridgeResetSteps bridgeResetSteps(HalvetStore &store, BridgeOnboarding &onboarding)
{
    return {
        .forgetBridge = [&store] { store.disconnect(); },
        .isConnected = [&store] { return store.isConnected(); },
        .returnOnboardingToReady = [&onboarding] { onboarding.resetForNewConnection(); },
    };
}

void confirmBridgeReset(HalvetStore &store, BridgeOnboarding &onboarding, QWidget *origin)
{
    const BridgeResetConditions conditions = bridgeResetConditions(store, onboarding);
    if (!conditions.canForgetBridge || conditions.onboardingIsRunning)
        return;
    askToResetBridge(origin, bridgeResetSteps(store, onboarding));
}

} // namespace vantora
