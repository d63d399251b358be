#include "ui/FocusReturn.h"

#include <QApplication>
#include <QDialog>

namespace vantora::ui {

namespace {

QWidget *focusOfShownWindow(const QWidget *origin)
{
    const QWidget *window = origin ? origin->window() : nullptr;
    return window && window->isVisible() ? window->focusWidget() : nullptr;
}

} // namespace

FocusReturn::FocusReturn(const QWidget *origin)
    : m_control(focusOfShownWindow(origin) ? focusOfShownWindow(origin) : QApplication::focusWidget())
{
}

void FocusReturn::giveBack() const
{
    if (!m_control || !m_control->isVisible())
        return;
    m_control->activateWindow();
    m_control->setFocus(Qt::OtherFocusReason);
}

void returnFocusOnFinish(QDialog &dialog, const QWidget *origin)
{
    QObject::connect(&dialog, &QDialog::finished, &dialog, [focus = FocusReturn(origin)] { focus.giveBack(); });
}

} // namespace vantora::ui
