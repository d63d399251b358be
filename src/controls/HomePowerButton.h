#pragma once

#include "ui/AnimatedValue.h"

#include <QAbstractButton>

namespace vantora::ui {
class HoverTracker;
}

namespace vantora::controls {

enum class HomePower {
    // "All on": turns every reachable light on.
    TurnOn,
    // "All off".
    TurnOff,
};

// The "All on" / "All off" pill of the lights page: the power glyph (grey to turn on, red to
// turn off) and the text on the home pill. It only emits clicked(); the owner decides what
// the click does. The widget is 30 high plus the pill's shadow margins.
class HomePowerButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit HomePowerButton(HomePower power, QWidget *parent = nullptr);

    HomePower power() const noexcept { return m_power; }
    void setPower(HomePower power);

    // The tint's current strength, 0 … 1.
    double tintAmount() const { return m_tint.value(); }
    static QColor glyphColour(HomePower power);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    void applyTexts();
    void followHover();
    QRectF pillRect() const;

    HomePower m_power;
    bool m_keyboardFocus = false;
    // Pressed with the focus on it, the button says the power change that follows.
    bool m_toldOfNextChange = false;
    ui::HoverTracker *m_hoverTracker;
    ui::AnimatedValue<double> m_tint;
};

} // namespace vantora::controls
