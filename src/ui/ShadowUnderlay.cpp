#include "ui/ShadowUnderlay.h"

#include "ui/Accessibility.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace vantora::ui {

ShadowUnderlay::ShadowUnderlay(QWidget *caster, qreal cornerRadius, DropShadow shadow)
    : QWidget(caster->parentWidget())
    , m_caster(caster)
    , m_cornerRadius(cornerRadius)
    , m_shadow(std::move(shadow))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    a11y::setHidden(this);
    caster->installEventFilter(this);
    connect(caster, &QObject::destroyed, this, [this] { delete this; });
    follow();
}

void ShadowUnderlay::setShadow(const DropShadow &shadow)
{
    if (shadow == m_shadow)
        return;
    m_shadow = shadow;
    follow();
    update();
}

void ShadowUnderlay::setShadowOpacity(qreal opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    update();
}

void ShadowUnderlay::follow()
{
    if (!m_caster)
        return;
    if (parentWidget() != m_caster->parentWidget())
        setParent(m_caster->parentWidget());
    if (!parentWidget()) {
        hide(); // a window casts no shadow of its own
        return;
    }
    const int margin = static_cast<int>(std::ceil(m_shadow.reach()));
    setGeometry(m_caster->geometry().adjusted(-margin, -margin, margin, margin));
    setVisible(m_caster->isVisibleTo(parentWidget()));
    stackUnder(m_caster);
}

bool ShadowUnderlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_caster) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ParentChange:
        case QEvent::ZOrderChange:
            follow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ShadowUnderlay::paintEvent(QPaintEvent *)
{
    if (!m_caster)
        return;
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    const int margin = static_cast<int>(std::ceil(m_shadow.reach()));
    m_shadow.paintUnderRoundedRect(painter, QRectF(margin, margin, m_caster->width(), m_caster->height()),
                                   m_cornerRadius);
}

} // namespace vantora::ui
