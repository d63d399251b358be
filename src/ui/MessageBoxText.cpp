#include "ui/MessageBoxText.h"

#include "ui/MessageText.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace vantora::ui {

namespace {

// Shows `text` in the place of the box's own `label`, which stays (hidden) for what reads
// the box's texts.
MessageText *showInPlaceOf(QMessageBox &box, QLabel *label, const QString &text)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    const int index = label && grid ? grid->indexOf(label) : -1;
    if (index < 0)
        return nullptr;
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(index, &row, &column, &rows, &columns);
    auto *shown = new MessageText(text, &box);
    shown->setObjectName(label->objectName() + QStringLiteral("_text"));
    shown->setContentsMargins(label->contentsMargins());
    label->hide();
    grid->addWidget(shown, row, column, rows, columns);
    return shown;
}

} // namespace

void setPlainMessage(QMessageBox &box, const QString &title, const QString &message)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(title);
    box.setInformativeText(message);
    // Half the screen's width holds any word a person reads at once; longer ones break.
    const int widestLine = box.screen()->availableGeometry().width() / 2;
    // The box is as wide as its title, and its message breaks between words only where the
    // title leaves room for the widest: an address stays on one line.
    if (MessageText *shown = showInPlaceOf(box, box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")), title))
        shown->setMinimumWidth(std::min(shown->naturalWidth(), widestLine));
    auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!informative)
        return;
    // The informative label does not follow the box's text format.
    informative->setTextFormat(Qt::PlainText);
    if (MessageText *shown = showInPlaceOf(box, informative, message))
        shown->setMinimumWidth(std::min(shown->widestWordWidth(), widestLine));
}

} // namespace vantora::ui
