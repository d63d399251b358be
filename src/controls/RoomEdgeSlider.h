#pragma once

#include "controls/AccessibleSlider.h"
#include "controls/DelayedAction.h"
#include "controls/SliderGeometry.h"

#include "ui/AnimatedValue.h"

#include <QWidget>

namespace vantora {
class ToggleAppearance;
}

namespace vantora::ui {
class HoverTracker;
class LightCardSurface;
}

namespace vantora::controls {

class RoomEdgeTrack;

// The tall slider of the "Room edge" brightness style: a 32 x 144 card filled from the
// bottom in the user's toggle colour, with eleven ticks and a thin knob, over a small
// percentage line that shows while the value changes and hides 0.15 s after the last drag
// or key step. Drags and the keys write the value at once (`valueEdited`): the arrows a
// point, Page Up and Page Down a tenth of the range, Home and End its bounds;
// a drag is bracketed by `editingChanged(true)` and `editingChanged(false)`. Disabled, it is
// dimmed, ignores input, passes keys on and shows "—". An enabled slider takes keyboard focus
// when it is shown.
class RoomEdgeSlider final : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds percentageHideDelay{150};

    // `appearance` may be null (amber); it must outlive the slider.
    explicit RoomEdgeSlider(ToggleAppearance *appearance, QWidget *parent = nullptr);

    double value() const noexcept { return m_value; }
    void setValue(double value);
    ValueRange range() const noexcept { return m_range; }
    void setRange(ValueRange range);
    // For assistive technologies ("Kitchen brightness"); never drawn.
    void setLabel(const QString &label);

    bool isDragging() const noexcept { return m_dragging; }
    bool showsPercentage() const noexcept { return m_showsPercentage; }
    QString percentageText() const;
    RoomEdgeTrack *track() const noexcept { return m_track; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void valueEdited(double value);
    void editingChanged(bool editing);

protected:
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class RoomEdgeTrack;

    void dragTo(double y);
    void endDrag();
    bool step(SliderStep step);
    void write(double value);
    void setShowsPercentage(bool shows);

    double m_value = 0;
    ValueRange m_range{1, 100};
    QString m_label;
    bool m_dragging = false;
    bool m_showsPercentage = false;
    ui::LightCardSurface *m_card;
    RoomEdgeTrack *m_track;
    DelayedAction m_percentageHide;
};

// The card's inside: it paints fill, ticks and knob, takes the pointer, the keys and focus,
// and is the element assistive technologies see.
class RoomEdgeTrack final : public QWidget, public AccessibleSliderSource {
    Q_OBJECT
public:
    RoomEdgeTrack(RoomEdgeSlider *slider, ToggleAppearance *appearance, QWidget *parent);

    // Shown now (animated): tick opacity and knob width.
    double tickOpacity() const { return m_tickOpacity.value(); }
    double knobWidth() const { return m_knobWidth.value(); }

    double accessibleValue() const override;
    ValueRange accessibleRange() const override;
    QString accessibleLabel() const override;
    QString accessibleValueText() const override;
    void setValueFromAccessibility(double value) override;

    void followState();
    // The ring shows while the track has the focus, until the pointer takes it up: the track
    // takes the focus when it is shown, which gives no sign of how the user opened it.
    bool showsFocusRing() const { return hasFocus() && m_keyboardFocus; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void followColour();

    RoomEdgeSlider *m_slider;
    ToggleAppearance *m_appearance;
    ui::HoverTracker *m_hoverTracker;
    ui::AnimatedValue<double> m_tickOpacity;
    ui::AnimatedValue<double> m_knobWidth;
    ui::AnimatedValue<QColor> m_fillTop;
    ui::AnimatedValue<QColor> m_fillBottom;
    bool m_keyboardFocus = false;
};

} // namespace vantora::controls
