#include "controls/BrightnessScrollTarget.h"

#include "controls/ScrollDimming.h"

#include "ui/Accessibility.h"
#include "ui/ViewRuntime.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

namespace vantora::controls {

BrightnessScrollTarget::BrightnessScrollTarget(QWidget *parent)
    : QWidget(parent)
    , m_gestureEnd(this, gestureEndDelay, [this] { finishEditing(); })
{
    ui::a11y::setHidden(this);
}

BrightnessScrollTarget::~BrightnessScrollTarget()
{
    if (m_editing)
        Q_EMIT editingChanged(false);
}

void BrightnessScrollTarget::setDimmingEnabled(bool enabled)
{
    const bool wasEnabled = std::exchange(m_dimmingEnabled, enabled);
    if (!wasEnabled || enabled)
        return;
    // The owner may switch dimming off and on again while it updates itself; only a switch
    // that lasts ends the gesture.
    ui::ViewRuntime::of(this).resolvedExecutor().post([self = QPointer(this)] {
        if (self && !self->m_dimmingEnabled)
            self->finishEditing();
    });
}

void BrightnessScrollTarget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void BrightnessScrollTarget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = std::exchange(m_pressed, false);
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    event->accept();
}

void BrightnessScrollTarget::wheelEvent(QWheelEvent *event)
{
    using namespace scrollDimming;
    const Decision decision = decide(WheelReading::of(*event), m_dimmingEnabled);
    switch (decision.disposition) {
    case Disposition::PassOn:
        event->ignore();
        return;
    case Disposition::EndGesture:
        finishEditing();
        break;
    case Disposition::Swallow:
        break;
    case Disposition::Step:
        if (!m_editing) {
            m_editing = true;
            Q_EMIT editingChanged(true);
        }
        Q_EMIT stepped(decision.step);
        m_gestureEnd.schedule();
        break;
    }
    event->accept();
}

void BrightnessScrollTarget::hideEvent(QHideEvent *event)
{
    finishEditing();
    m_pressed = false;
    QWidget::hideEvent(event);
}

void BrightnessScrollTarget::finishEditing()
{
    m_gestureEnd.cancel();
    if (!m_editing)
        return;
    m_editing = false;
    Q_EMIT editingChanged(false);
}

} // namespace vantora::controls
