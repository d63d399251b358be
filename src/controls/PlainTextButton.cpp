#include "controls/PlainTextButton.h"

#include "controls/FocusRing.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemColours.h"

#include <QFocusEvent>
#include <QPainter>

namespace vantora::controls {

PlainTextButton::PlainTextButton(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_foreground(ui::systemColours::secondary())
{
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    // Before the owner hears of the press, which may select this one.
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (isCheckable() && m_selected)
            ui::a11y::tellChosenAgain(*this);
    });
}

void PlainTextButton::setForeground(const ui::DynamicColor &colour)
{
    if (colour == m_foreground)
        return;
    m_foreground = colour;
    update();
}

void PlainTextButton::setSelected(bool selected)
{
    if (isCheckable() && selected == m_selected)
        return;
    m_selected = selected;
    // Checkable and exclusive only so that assistive technologies read one choice among the
    // siblings (Qt tells them of the change). The owner may select none, which Qt refuses an
    // exclusive button; the check is set outside exclusivity.
    setCheckable(true);
    setAutoExclusive(false);
    setChecked(selected);
    setAutoExclusive(true);
    update();
}

QSize PlainTextButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * int(focusRing::outset), metrics.height() + 2 * int(focusRing::outset)};
}

QSize PlainTextButton::minimumSizeHint() const
{
    return sizeHint();
}

void PlainTextButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.4);
    painter.setPen(m_foreground.resolve(ui::colorScheme(this)));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus() && m_keyboardFocus)
        focusRing::paint(painter, this, QRectF(rect()));
}

void PlainTextButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
    update();
}

void PlainTextButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
    update();
}

void PlainTextButton::mousePressEvent(QMouseEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::mousePressEvent(event);
}

} // namespace vantora::controls
