#include "ui/FocusHolder.h"

#include "ui/Accessibility.h"

#include <QWidget>

namespace vantora::ui {

void makeFocusHolder(QWidget &container, const QString &name)
{
    // setFocus still works on it; only Tab, clicks and the window's first focus pass it by.
    container.setFocusPolicy(Qt::NoFocus);
    a11y::setName(&container, name);
    a11y::setRole(&container, QAccessible::Pane);
}

bool isInside(const QWidget *widget, const QWidget &container)
{
    return widget == &container || container.isAncestorOf(widget);
}

bool isTabStop(const QWidget &control, const QWidget &within)
{
    return control.isVisibleTo(&within) && control.isEnabled() && (control.focusPolicy() & Qt::TabFocus)
        && !control.focusProxy();
}

QWidget *nextTabStop(QWidget &from, const QWidget &within, const QWidget *passing)
{
    for (QWidget *candidate = from.nextInFocusChain(); candidate && candidate != &from;
         candidate = candidate->nextInFocusChain()) {
        if (within.isAncestorOf(candidate) && !(passing && isInside(candidate, *passing))
            && isTabStop(*candidate, within))
            return candidate;
    }
    return nullptr;
}

void focusFirstControl(QWidget &container, Qt::FocusReason reason)
{
    if (QWidget *first = nextTabStop(container, container))
        first->setFocus(reason);
    else
        container.setFocus(reason);
}

} // namespace vantora::ui
