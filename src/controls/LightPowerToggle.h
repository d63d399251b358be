#pragma once

#include "store/ToggleColor.h"
#include "ui/AnimatedValue.h"

#include <QAbstractButton>

namespace vantora::controls {

// The on/off switch of a light: a capsule track filled with the user's accent colour while
// the light is on, in neutral greys while it is off, with a knob that slides between the two
// sides; an unavailable light is drawn faded with its knob on the off side. A press asks
// for the other state through `switchRequested`; the switch itself moves only when its
// owner sets the new state. Presented to assistive technologies as a checkable button; Space
// switches it once it has focus, and the controls' focus ring shows when focus came by keyboard.
class LightPowerToggle final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QSize frameSize{60, 44};
    static constexpr QSizeF artworkSize{52, 24};

    explicit LightPowerToggle(QWidget *parent = nullptr);

    void setOn(bool on);
    bool isOn() const noexcept { return m_on; }
    void setUnavailable(bool unavailable);
    void setAccent(ToggleColor accent);

    QSize sizeHint() const override { return frameSize; }

Q_SIGNALS:
    void switchRequested(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void nextCheckState() override {}

private:
    bool isActive() const { return m_on && !m_unavailable; }

    bool m_on = false;
    bool m_unavailable = false;
    bool m_keyboardFocus = false;
    ToggleColor m_accent = ToggleColor::amber;
    // 0 with the knob on the off side, 1 on the on side.
    ui::AnimatedValue<double> m_position;
};

} // namespace vantora::controls
