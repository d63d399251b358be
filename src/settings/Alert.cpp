#include "settings/Alert.h"

#include "ui/ModalParent.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <memory>
#include <utility>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::Alert)
};

// `text` with a break opportunity (a zero-width space) between the characters of every word
// wider than `width`, so that a line may end inside such a word instead of running on.
QString breakingLongWords(const QString &text, const QFontMetrics &metrics, int width)
{
    static const QRegularExpression words(QStringLiteral("\\S+"));
    QString broken;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch &match : words.globalMatch(text)) {
        broken += QStringView(text).mid(copied, match.capturedStart() - copied);
        const QString word = match.captured();
        copied = match.capturedEnd();
        if (metrics.horizontalAdvance(word) <= width) {
            broken += word;
            continue;
        }
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, word);
        qsizetype from = 0;
        for (qsizetype to = characters.toNextBoundary(); to != -1; to = characters.toNextBoundary()) {
            if (from > 0)
                broken += QChar(0x200B);
            broken += QStringView(word).mid(from, to - from);
            from = to;
        }
    }
    broken += QStringView(text).mid(copied);
    return broken;
}

} // namespace

Alert Alert::notice(QString title, QString message)
{
    return {std::move(title), std::move(message), Texts::tr("OK"), std::nullopt};
}

void MessageBoxAlerts::present(const Alert &alert, QWidget *origin, std::function<void(AlertAnswer)> answered)
{
    QWidget *parent = ui::modalParentFor(origin);
    auto *box = new QMessageBox(parent);
    box->setIcon(alert.style == Alert::Style::warning ? QMessageBox::Warning : QMessageBox::Information);
    // Versions and messages may come from a server or the system: never markup.
    box->setTextFormat(Qt::PlainText);
    // A word wider than half the screen (a server's text may hold any) breaks where the line
    // ends, so that the box and its buttons stay on the screen.
    const int widestLine = box->screen()->availableGeometry().width() / 2;
    const QFontMetrics metrics(box->font());
    box->setText(breakingLongWords(alert.title, metrics, widestLine));
    box->setInformativeText(breakingLongWords(alert.message, metrics, widestLine));
    if (auto *informative = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
        // The box is only as wide as its title, and wrapping breaks an address after each
        // slash; lines break between words only.
        int widestWord = 0;
        for (const QString &word : alert.message.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
        informative->setMinimumWidth(std::min(widestWord, widestLine));
    }

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
