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

void focusFirstControl(QWidget &container, Qt::FocusReason reason)
{
    for (QWidget *candidate = container.nextInFocusChain(); candidate && candidate != &container;
         candidate = candidate->nextInFocusChain()) {
        if (container.isAncestorOf(candidate) && candidate->isVisibleTo(&container) && candidate->isEnabled()
            && (candidate->focusPolicy() & Qt::TabFocus) && !candidate->focusProxy()) {
            candidate->setFocus(reason);
            return;
        }
    }
    container.setFocus(reason);
}

} // namespace vantora::ui
