#include "ui/PanelTextField.h"

#include "ui/FieldSurface.h"

#include <QPainter>

namespace vantora::ui {

namespace {

constexpr int sideMargin = 6;

} // namespace

PanelTextField::PanelTextField(QWidget *parent)
    : QLineEdit(parent)
{
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
