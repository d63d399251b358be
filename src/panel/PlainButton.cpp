#include "panel/PlainButton.h"

#include "controls/FocusRing.h"

#include <QLayout>
#include <QPainter>

namespace vantora {

PlainButton::PlainButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QSize PlainButton::sizeHint() const
{
    return layout() ? layout()->sizeHint() : QSize(0, 0);
}

QSize PlainButton::minimumSizeHint() const
{
    return layout() ? layout()->minimumSize() : QSize(0, 0);
}

void PlainButton::paintEvent(QPaintEvent *)
{
    if (!m_showsFocus)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    controls::focusRing::paint(painter, this, rect());
}

void PlainButton::focusInEvent(QFocusEvent *event)
{
    m_showsFocus = controls::focusRing::cameByKeyboard(*event);
    update();
    QAbstractButton::focusInEvent(event);
}

void PlainButton::focusOutEvent(QFocusEvent *event)
{
    m_showsFocus = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

} // namespace vantora
