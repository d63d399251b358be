#pragma once

#include "controls/AccessibleButton.h"

#include "ui/AnimatedValue.h"

#include <QAbstractButton>

namespace vantora::ui {
class HoverTracker;
}

namespace vantora::controls {

// The sun button of a room card that opens and closes the room's brightness control. Its
// rays show the room's brightness only while the control is open; closed, the sun is faint
// until the pointer is over it. Opening and closing ease over 0.16 s, brightness changes
// over 0.12 s and hover changes over 0.16 s, all at once under Reduce Motion. Disabled, the
// whole button is drawn at 0.4 without a hover backdrop. It only emits clicked().
class RoomBrightnessButton final : public QAbstractButton, public AccessibleButtonValue {
    Q_OBJECT
public:
    explicit RoomBrightnessButton(QWidget *parent = nullptr);

    bool isExpanded() const noexcept { return m_expanded; }
    void setExpanded(bool expanded);
    // Percent; values outside 0 … 100 draw as the nearer end.
    void setBrightness(double brightness);
    // Shown in the accessibility label "<room> brightness".
    void setRoomName(const QString &roomName);

    // What is drawn now (mid-animation, the values on their way).
    double glyphProgress() const;
    double glyphOpacity() const { return m_glyphOpacity.value(); }
    double backdropAlpha() const { return m_backdropAlpha.value(); }

    QString accessibleValueText() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    void followState(const ui::Animation &animation);
    void applyHelp();

    bool m_expanded = false;
    double m_brightness = 0;
    ui::HoverTracker *m_hoverTracker;
    ui::AnimatedValue<double> m_brightnessShown;
    ui::AnimatedValue<double> m_expansion;
    ui::AnimatedValue<double> m_glyphOpacity;
    ui::AnimatedValue<double> m_backdropAlpha;
};

} // namespace vantora::controls
