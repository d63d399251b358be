#include "ui/PanelTextField.h"

#include "ui/FieldSurface.h"
#include "ui/PanelTextFieldElement.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QPainter>

namespace vantora::ui {

namespace {

constexpr int sideMargin = 6;

} // namespace

PanelTextField::PanelTextField(QWidget *parent)
    : QLineEdit(parent)
{
    [[maybe_unused]] static const bool elementInstalled = [] {
        QAccessible::installFactory(panelTextFieldElement);
        return true;
    }();
    // The plate below is the field's frame and ground; the line edit would cover it with its
    // base colour. Only that role is set here: the rest still comes from the surroundings.
    setFrame(false);
    QPalette clear = palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    setPalette(clear);
    setTextMargins(sideMargin, 0, sideMargin, 0);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

QSize PanelTextField::sizeHint() const
{
    return {QLineEdit::sizeHint().width(), fieldSurface::height};
}

QSize PanelTextField::minimumSizeHint() const
{
    return {QLineEdit::minimumSizeHint().width(), fieldSurface::height};
}

void PanelTextField::focusInEvent(QFocusEvent *event)
{
    // Reached by keys, a line edit selects its text as it takes the focus, and Qt tells readers
    // of the focus only after that: a reader says the selection, then the field with its
    // selection again. Selected once the focus has been told, the text is read once, selected.
    const Qt::FocusReason reason = event->reason();
    const bool selectsAll = (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                             || reason == Qt::ShortcutFocusReason) && !hasSelectedText();
    if (!selectsAll) {
        QLineEdit::focusInEvent(event);
        return;
    }
    QFocusEvent unselected(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&unselected);
    QMetaObject::invokeMethod(
        this, [this] { if (hasFocus() && !hasSelectedText()) selectAll(); }, Qt::QueuedConnection);
}

void PanelTextField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        fieldSurface::paint(painter, *this,
                            hasFocus() ? fieldSurface::Outline::Accent : fieldSurface::Outline::Resting);
    }
    QLineEdit::paintEvent(event);
}

} // namespace vantora::ui
