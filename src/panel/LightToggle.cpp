#include "panel/LightToggle.h"

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
    if (!hasFocus())
        return;
    // Keyboard focus, since the artwork itself has no focused look.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen ring(palette().color(QPalette::Highlight), 2);
    painter.setPen(ring);
    const QRectF track(QPointF(3, 9), QSizeF(54, 26));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
}

void LightToggle::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    m_artwork->setGeometry(rect());
}

} // namespace vantora
