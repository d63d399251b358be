#include "panel/RoomEdgeOverlay.h"

#include "controls/LightToggleArtwork.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomBrightnessStyle.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace vantora {

RoomEdgeOverlay::RoomEdgeOverlay(const QString &roomID, QWidget *page)
    : QWidget(page)
    , m_roomID(roomID)
    , m_slider(new controls::RoomBrightnessSlider(controls::RoomBrightnessStyle::edge,
                                                  ui::Environment::of(page).value(toggleAppearanceKey), this))
{
    setObjectName(QStringLiteral("room-edge-overlay"));
    setFocusPolicy(Qt::StrongFocus);
    connect(m_slider, &controls::RoomBrightnessSlider::changeRequested, this,
            &RoomEdgeOverlay::brightnessRequested);
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
    m_slider->setLocked(locked);
    m_slider->setUpdating(updating);
    const QSize size = controls::footprint(controls::RoomBrightnessStyle::edge);
    const QPointF centre = sliderCentre(card, height());
    m_slider->setGeometry(QRectF(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size).toRect());
}

void RoomEdgeOverlay::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RoomEdgeOverlay::mousePressEvent(QMouseEvent *event)
{
    // The slider takes its own presses; whatever reaches the backdrop closes the control.
    event->accept();
    Q_EMIT closeRequested();
}

} // namespace vantora
