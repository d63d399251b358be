#include "panel/RoomEdgeOverlay.h"

#include "controls/LightToggleArtwork.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomBrightnessStyle.h"
#include "ui/Accessibility.h"
#include "ui/FocusHolder.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

namespace vantora {

RoomEdgeOverlay::RoomEdgeOverlay(const QString &roomID, QAbstractScrollArea *list, QWidget *page)
    : QWidget(page)
    , m_roomID(roomID)
    , m_list(list)
    , m_slider(new controls::RoomBrightnessSlider(controls::RoomBrightnessStyle::edge,
                                                  ui::Environment::of(page).value(toggleAppearanceKey), this))
{
    setObjectName(QStringLiteral("room-edge-overlay"));
    ui::makeFocusHolder(*this, QString());
    connect(m_slider, &controls::RoomBrightnessSlider::changeRequested, this,
            &RoomEdgeOverlay::brightnessRequested);
    // Tab or a shortcut taking the keyboard elsewhere in the window leaves the control: it
    // closes, rather than stay open over controls the keyboard reaches later.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old && now && ui::isInside(old, *this) && !ui::isInside(now, *this) && now->window() == window())
            Q_EMIT closeRequested(ui::FocusStep::Opener);
    });
}

QPointF RoomEdgeOverlay::sliderCentre(const QRectF &card, qreal pageHeight)
{
    const qreal lowest = pageHeight - bottomRoom;
    const qreal y = lowest < topOffset ? lowest : std::min(std::max(card.top() + topOffset, topOffset), lowest);
    return {card.right() - trailingInset, y};
}

void RoomEdgeOverlay::apply(const LightRoom &room, const QRectF &card, bool locked, bool updating)
{
    setGeometry(parentWidget()->rect());
    m_slider->setRoom(room);
    // A slider disabled while it has the focus leaves no widget focused, and Escape would no
    // longer reach the control; the backdrop keeps the focus instead.
    if (const QWidget *focused = focusWidget(); locked && focused && m_slider->isAncestorOf(focused))
        setFocus(Qt::OtherFocusReason);
    m_slider->setLocked(locked);
    m_slider->setUpdating(updating);
    // With its slider disabled (no light on) the backdrop holds the focus: it tells why. Else
    // it is nameless and says nothing: a reader would name it as the slider's surroundings,
    // by the slider's own name and help once more.
    const bool holdsFocus = m_slider->model().isDisabled();
    ui::a11y::setName(this, holdsFocus ? tr("%1 brightness").arg(room.name) : QString());
    ui::a11y::setDescription(this, holdsFocus ? m_slider->model().help() : QString());
    const QSize size = controls::footprint(controls::RoomBrightnessStyle::edge);
    const QPointF centre = sliderCentre(card, height());
    m_slider->setGeometry(QRectF(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size).toRect());
}

bool RoomEdgeOverlay::focusNextPrevChild(bool next)
{
    // Left to Qt, Tab would go on from the control, which comes last in the window's chain, to
    // the window's first control.
    Q_EMIT closeRequested(next ? ui::FocusStep::AfterOpener : ui::FocusStep::Opener);
    return true;
}

void RoomEdgeOverlay::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested(ui::FocusStep::Opener);
        return;
    }
    QWidget::keyPressEvent(event);
}

void RoomEdgeOverlay::mousePressEvent(QMouseEvent *event)
{
    // The slider takes its own presses; whatever reaches the backdrop closes the control.
    event->accept();
    Q_EMIT closeRequested(ui::FocusStep::Opener);
}

void RoomEdgeOverlay::wheelEvent(QWheelEvent *event)
{
    // The backdrop covers the list but is no reason to stop scrolling it; the control follows
    // its card.
    if (!m_list) {
        event->ignore();
        return;
    }
    QWidget *viewport = m_list->viewport();
    const QPointF position = viewport->mapFromGlobal(mapToGlobal(event->position()));
    QWheelEvent passed(position, event->globalPosition(), event->pixelDelta(), event->angleDelta(), event->buttons(),
                       event->modifiers(), event->phase(), event->inverted(), event->source(),
                       event->pointingDevice());
    QCoreApplication::sendEvent(viewport, &passed);
    event->accept();
}

} // namespace vantora
