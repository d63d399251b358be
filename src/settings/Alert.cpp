#include "settings/Alert.h"

#include "ui/FocusReturn.h"
#include "ui/MessageBoxIcon.h"
#include "ui/MessageBoxText.h"
#include "ui/ModalParent.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <utility>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::Alert)
};

} // namespace

Alert Alert::notice(QString title, QString message)
{
    return {std::move(title), std::move(message), Texts::tr("OK"), std::nullopt};
}

void MessageBoxAlerts::present(const Alert &alert, QWidget *origin, std::function<void(AlertAnswer)> answered)
{
    QWidget *parent = ui::modalParentFor(origin);
    auto *box = new QMessageBox(parent);
    ui::setMessageIcon(*box, alert.style == Alert::Style::warning ? QMessageBox::Warning : QMessageBox::Information);
    ui::setPlainMessage(*box, alert.title, alert.message);

    QPushButton *confirm = box->addButton(alert.confirmText, QMessageBox::AcceptRole);
    QPushButton *cancel = confirm;
    if (alert.cancelText)
        cancel = box->addButton(*alert.cancelText, QMessageBox::RejectRole);
    box->setDefaultButton(alert.returnKey == Alert::ReturnKey::confirms ? confirm : cancel);
    box->setEscapeButton(cancel);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (!parent)
        ui::placeLoneDialog(*box);

    // Answered exactly once: by a button, or as cancelled when the box goes away unanswered
    // with the window it belongs to, so that nobody waits for it forever.
    auto answer = std::make_shared<std::function<void(AlertAnswer)>>(std::move(answered));
    ui::returnFocusOnFinish(*box, origin);
    QObject::connect(box, &QDialog::finished, box, [box, confirm, answer] {
        // Escape on a one-button notice "clicks" that button too; only a real confirmation of
        // a question leads anywhere, and a notice has nothing to lead to.
        if (auto answered = std::exchange(*answer, {}))
            answered(box->clickedButton() == confirm ? AlertAnswer::confirmed : AlertAnswer::cancelled);
    });
    QObject::connect(box, &QObject::destroyed, [answer] {
        if (auto answered = std::exchange(*answer, {}))
            answered(AlertAnswer::cancelled);
    });
    box->show();
    box->raise();
    box->activateWindow();
}

MessageBoxAlerts &MessageBoxAlerts::shared()
{
    static MessageBoxAlerts alerts;
    return alerts;
}

void showAlert(AlertPresenter &alerts, QWidget *origin, const QString &title, const QString &message)
{
    alerts.present(Alert::notice(title, message), origin, [](AlertAnswer) {});
}

} // namespace vantora
