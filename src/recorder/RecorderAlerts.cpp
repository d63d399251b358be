#include "recorder/RecorderAlerts.h"

#include "ui/MessageBoxText.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <vector>

namespace vantora::recorder {

QMessageBox *MessageBoxRecorderAlerts::build(QWidget *window, const QString &text,
                                             const std::optional<QString> &informativeText, const QStringList &buttons,
                                             std::vector<QAbstractButton *> &added)
{
    auto *box = new QMessageBox(window);
    box->setIcon(QMessageBox::Warning);
    ui::setPlainMessage(*box, text, informativeText.value_or(QString()));
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);

    for (qsizetype index = 0; index < buttons.size(); ++index) {
        // The first button is the default, as the recorder's alerts want it; the others
        // are alternatives to it.
        const auto role = index == 0 ? QMessageBox::AcceptRole : QMessageBox::ActionRole;
        added.push_back(box->addButton(buttons.at(index), role));
    }
    if (!added.empty())
        box->setDefaultButton(static_cast<QPushButton *>(added.front()));
    return box;
}

int MessageBoxRecorderAlerts::present(QWidget *window, const QString &text,
                                      const std::optional<QString> &informativeText, const QStringList &buttons)
{
    std::vector<QAbstractButton *> added;
    QPointer<QMessageBox> box = build(window, text, informativeText, buttons, added);
    box->exec();
    if (!box)
        return 0;
    int chosen = 0;
    for (std::size_t index = 0; index < added.size(); ++index) {
        if (box->clickedButton() == added[index])
            chosen = int(index);
    }
    delete box.data();
    return chosen;
}

} // namespace vantora::recorder
