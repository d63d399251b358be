#include "ui/FocusReturn.h"

#include "ui/FocusHolder.h"

#include <QApplication>
#include <QDialog>

#include <utility>

namespace vantora::ui {

namespace {

QWidget *focusOfShownWindow(const QWidget *origin)
{
    const QWidget *window = origin ? origin->window() : nullptr;
    return window && window->isVisible() ? window->focusWidget() : nullptr;
}

bool canTakeFocusBack(const QWidget &opener, const QWidget &closing)
{
    return !isInside(&opener, closing) && opener.isVisibleTo(opener.window()) && opener.isEnabled()
        && opener.focusPolicy() != Qt::NoFocus;
}

QPointer<QWidget> &handedOver()
{
    static QPointer<QWidget> control;
    return control;
}

} // namespace

FocusReturn::FocusReturn(const QWidget *origin)
    : m_control(std::exchange(handedOver(), nullptr))
{
    if (!m_control)
        m_control = focusOfShownWindow(origin) ? focusOfShownWindow(origin) : QApplication::focusWidget();
}

void FocusReturn::handOver(QWidget &control)
{
    // Focused again before any window noted it, the control waits for nothing any more.
    static const QMetaObject::Connection regained =
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget *, QWidget *now) {
            if (now && now == handedOver())
                handedOver() = nullptr;
        });
    handedOver() = &control;
    control.clearFocus();
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

void giveFocusBack(const QWidget &closing, QWidget *opener, QWidget &fallback, FocusStep step)
{
    if (const QWidget *focused = closing.window()->focusWidget(); focused && !isInside(focused, closing))
        return;
    if (opener && canTakeFocusBack(*opener, closing)) {
        if (step == FocusStep::Opener) {
            opener->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (QWidget *next = nextTabStop(*opener, *opener->window(), &closing)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (QWidget *first = nextTabStop(fallback, fallback, &closing))
        first->setFocus(Qt::OtherFocusReason);
    else
        fallback.setFocus(Qt::OtherFocusReason);
}

} // namespace vantora::ui
