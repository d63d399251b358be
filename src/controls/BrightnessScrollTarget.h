#pragma once

#include "controls/DelayedAction.h"

#include <QWidget>

namespace vantora::controls {

// An invisible layer over a light's icon or row that turns horizontal scrolling into
// brightness steps and reports plain clicks. It knows nothing of lights: it reports the
// start and end of a scroll gesture and signed steps in percentage points.
//
// One swipe reports `editingChanged(true)` once, `stepped` for every event with a non-zero
// step, and `editingChanged(false)` once: 0.25 s after the last step, at the first momentum
// event, when dimming is switched off (on a later turn, unless it is switched on again
// first), or when the layer is hidden. Vertical scrolling, and all scrolling while dimming is
// off, passes on to whatever encloses the layer. Clicks are reported either way. Destroying
// the layer during a gesture ends it too.
class BrightnessScrollTarget final : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds gestureEndDelay{250};

    explicit BrightnessScrollTarget(QWidget *parent = nullptr);
    // Ends a gesture in progress: whoever listens still holds the edit. (Qt has already cut
    // the connections of a listener that is itself being destroyed.)
    ~BrightnessScrollTarget() override;

    bool isDimmingEnabled() const noexcept { return m_dimmingEnabled; }
    void setDimmingEnabled(bool enabled);
    bool isEditing() const noexcept { return m_editing; }

Q_SIGNALS:
    void clicked();
    void editingChanged(bool editing);
    void stepped(double step);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void finishEditing();

    bool m_dimmingEnabled = false;
    bool m_editing = false;
    bool m_pressed = false;
    DelayedAction m_gestureEnd;
};

} // namespace vantora::controls
