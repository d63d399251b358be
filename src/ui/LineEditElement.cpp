#include "ui/LineEditElement.h"

#include <QLineEdit>

namespace vantora::ui {

LineEditElement::LineEditElement(QLineEdit *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
}

void *LineEditElement::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString LineEditElement::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return shown();
    return QAccessibleWidget::text(kind);
}

QAccessible::State LineEditElement::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = field()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    return state;
}

void LineEditElement::selection(int index, int *start, int *end) const
{
    *start = *end = 0;
    if (index == 0 && field()->hasSelectedText()) {
        *start = field()->selectionStart();
        *end = field()->selectionEnd();
    }
}

int LineEditElement::selectionCount() const
{
    return field()->hasSelectedText() ? 1 : 0;
}

void LineEditElement::removeSelection(int)
{
    field()->deselect();
}

QString LineEditElement::text(int start, int end) const
{
    return shown().mid(start, end - start);
}

int LineEditElement::characterCount() const
{
    return int(shown().size());
}

QString LineEditElement::attributes(int, int *start, int *end) const
{
    *start = 0;
    *end = characterCount();
    return {};
}

QLineEdit *LineEditElement::field() const
{
    return static_cast<QLineEdit *>(widget());
}

QString LineEditElement::shown() const
{
    return field()->text();
}

} // namespace vantora::ui
