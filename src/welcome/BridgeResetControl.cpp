#include "welcome/BridgeResetControl.h"

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

void askToResetBridge(QWidget *panel, BridgeResetSteps steps)
{
    auto *box = new QMessageBox(panel->window());
    box->setIcon(QMessageBox::Warning);
    box->setTextFormat(Qt::PlainText);
    box->setText(Texts::tr("Reset this computer’s Bridge connection?"));
    QPushButton *reset = box->addButton(Texts::tr("Reset connection"), QMessageBox::AcceptRole);
    QPushButton *cancel = box->addButton(Texts::tr("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(reset);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, box, [box, reset, steps = std::move(steps)] {
        if (box->clickedButton() != reset)
            return;
        steps.forgetBridge();
        if (!steps.isConnected())
            steps.returnOnboardingToReady();
    });
    box->open();
}

} // namespace vantora
