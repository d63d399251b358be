#pragma once

#include "bridge/LightRoom.h"
#include "ui/FocusReturn.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractScrollArea;

namespace vantora {

namespace controls {
class RoomBrightnessSlider;
}

// The open room brightness control of the edge style: the room's slider stands over the
// trailing edge of the room's card, on a clear backdrop over the whole page. A click on the
// backdrop, Escape, Tab or Shift+Tab, or the focus moving on to another control of the window
// asks to close it, saying where the keys go: the slider stands just after its opener, so Tab
// goes on to the control after the opener, the others back to the opener. The wheel over the
// backdrop scrolls the list beneath.
// The slider is kept while the same room stays open, so a drag survives any refresh.
class RoomEdgeOverlay final : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal trailingInset = 16;
    static constexpr qreal topOffset = 82;
    static constexpr qreal bottomRoom = 118;

    // `list` is the scroll view under the backdrop.
    RoomEdgeOverlay(const QString &roomID, QAbstractScrollArea *list, QWidget *page);

    const QString &roomID() const noexcept { return m_roomID; }
    controls::RoomBrightnessSlider *slider() const noexcept { return m_slider; }

    // Shows `room` with the card at `card` (page coordinates).
    void apply(const LightRoom &room, const QRectF &card, bool locked, bool updating);

    // Where the slider's centre goes for a card at `card` on a page `pageHeight` high: by the
    // card's trailing edge, level with the card's top but never above the page's top, and
    // never so low that the slider leaves the page; a page too short for both keeps the
    // slider off the bottom.
    static QPointF sliderCentre(const QRectF &card, qreal pageHeight);

Q_SIGNALS:
    void closeRequested(ui::FocusStep step);
    void brightnessRequested(double brightness);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QString m_roomID;
    QPointer<QAbstractScrollArea> m_list;
    controls::RoomBrightnessSlider *m_slider;
};

} // namespace vantora
