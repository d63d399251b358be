#include "controls/LightToggle.h"

#include "controls/FocusRing.h"

#include <QFocusEvent>
#include <QPainter>

namespace vantora {

LightToggle::LightToggle(QWidget *parent)
    : QAbstractButton(parent)
    , m_artwork(new LightToggleArtwork(this))
{
    setCheckable(true);
    setFixedSize(frame);
    setFocusPolicy(Qt::StrongFocus);
    showState();
}

void LightToggle::setOn(bool on)
{
    m_on = on;
    setChecked(on);
    showState();
}

void LightToggle::setUnavailable(bool unavailable)
{
    m_unavailable = unavailable;
    setEnabled(!unavailable);
    showState();
}

void LightToggle::nextCheckState()
{
    // A click asks for the flip; the owner's answer moves the switch.
    Q_EMIT flipRequested(!m_on);
}

void LightToggle::checkStateSet()
{
    // Someone other than the owner changed the checked state (an assistive toggle action
    // calls setChecked directly): treat it as a request and keep showing the light's state.
    if (isChecked() == m_on)
        return;
    const bool requested = isChecked();
    setChecked(m_on);
    if (isEnabled())
        Q_EMIT flipRequested(requested);
}

void LightToggle::showState()
{
    m_artwork->apply({m_on, m_unavailable, std::nullopt, false});
}

void LightToggle::paintEvent(QPaintEvent *)
{
    if (!m_showsFocus)
        return;
    // The artwork has no focused look of its own; the ring goes around the track.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal outset = controls::focusRing::outset;
    const QRectF track(QPointF(4, 10), QSizeF(52, 24));
    controls::focusRing::paint(painter, this, track.adjusted(-outset, -outset, outset, outset));
}

void LightToggle::focusInEvent(QFocusEvent *event)
{
    m_showsFocus = controls::focusRing::cameByKeyboard(*event);
    update();
    QAbstractButton::focusInEvent(event);
}

void LightToggle::focusOutEvent(QFocusEvent *event)
{
    m_showsFocus = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

void LightToggle::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    m_artwork->setGeometry(rect());
}

} // namespace vantora
