#include "recorder/ShortcutBackButton.h"

#include "controls/FocusRing.h"
#include "controls/HomePillSurface.h"

#include "ui/Animation.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/SvgImage.h"

#include <QPainter>

namespace vantora::recorder {

ShortcutBackButton::ShortcutBackButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_hover(this, "hovered", 0.0)
{
    setFixedSize(sizeHint());
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::TabFocus);
    followBackName();
}

void ShortcutBackButton::followBackName()
{
    QString name = ui::Environment::of(this).value(ui::backNameKey);
    if (name.isEmpty())
        name = tr("Back to lights");
    setAccessibleName(name);
    ui::setPlainToolTip(*this, name);
}

QSize ShortcutBackButton::sizeHint() const
{
    return QSize(44, 30).grownBy(controls::HomePillSurface::shadowMargins());
}

bool ShortcutBackButton::event(QEvent *event)
{
    // Read where it is shown: the page is built before it is placed in the panel.
    if (event->type() == QEvent::Show
        || (event->type() == ui::EnvironmentChangeEvent::eventType()
            && static_cast<ui::EnvironmentChangeEvent *>(event)->key() == ui::backNameKey.name()))
        followBackName();
    return QAbstractButton::event(event);
}

void ShortcutBackButton::enterEvent(QEnterEvent *event)
{
    m_hover.animateTo(1.0, ui::Animation::easeInOut(0.16));
    QAbstractButton::enterEvent(event);
}

void ShortcutBackButton::focusInEvent(QFocusEvent *event)
{
    m_showsFocusRing = controls::focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
}

void ShortcutBackButton::focusOutEvent(QFocusEvent *event)
{
    m_showsFocusRing = false;
    QAbstractButton::focusOutEvent(event);
}

void ShortcutBackButton::leaveEvent(QEvent *event)
{
    m_hover.animateTo(0.0, ui::Animation::easeInOut(0.16));
    QAbstractButton::leaveEvent(event);
}

void ShortcutBackButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const QRectF capsule = QRectF(rect()).marginsRemoved(QMarginsF(controls::HomePillSurface::shadowMargins()));
    controls::HomePillSurface::paint(painter, capsule, scheme, m_hover.value());
    static const ui::SvgImage arrow(ui::Image::DetailBack);
    const QRectF frame(QPointF(0, 0), QSizeF(20, 20));
    arrow.paint(painter, frame.translated(capsule.center() - frame.center()),
                controls::HomePillSurface::palette(scheme).foreground);
    if (hasFocus() && m_showsFocusRing)
        controls::focusRing::paint(painter, this, capsule);
}

} // namespace vantora::recorder
