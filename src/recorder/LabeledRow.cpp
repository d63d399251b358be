#include "recorder/LabeledRow.h"

#include <QFormLayout>
#include <QLabel>

namespace vantora::recorder {

namespace {

QLabel *plainLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

LabeledRow::LabeledRow(const QString &label, QWidget *control, QWidget *parent)
    : LabeledRow(plainLabel(label), control, parent)
{
}

LabeledRow::LabeledRow(QWidget *label, QWidget *control, QWidget *parent)
    : QWidget(parent)
    , m_label(label)
    , m_control(control)
{
    auto *layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setLabelAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    layout->addRow(label, control);
    if (auto *text = qobject_cast<QLabel *>(label))
        text->setBuddy(control);
}

} // namespace vantora::recorder
