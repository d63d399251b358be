#pragma once

#include "controls/AccessibleSlider.h"
#include "controls/SliderGeometry.h"

#include "ui/AnimatedValue.h"
#include "ui/DynamicColor.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace vantora::controls {

// The gradient slider of the light page (brightness, white temperature) and of the room
// brightness control: a track painted with `colours`, an optional warm fill up to the knob,
// and a pill knob that grows while dragged. It edits one value and sends nothing itself.
//
// Pointer drags (a plain click included) and the keys of sliderStepForKey write the value
// and emit `valueEdited`; a drag is bracketed by `editingChanged(true)` and exactly one
// `editingChanged(false)`, also when the slider is disabled or hidden mid-drag (never from
// the destructor). The arrow keys step a hundredth of the range, Page Up and Page Down a
// tenth, Home and End go to the bounds; keys never report editing. Up and Down of an upright
// slider are passed on to its holder.
// `setValue` from the owner emits nothing. Disabled, it takes no focus and passes keys on.
//
// The widget keeps a margin of focusRing::outset around the slider for its focus ring, so
// its size hint is the slider's height plus twice that.
class LightValueSlider final : public QWidget, public AccessibleSliderSource {
    Q_OBJECT
public:
    explicit LightValueSlider(SliderSize size, SliderOrientation orientation = SliderOrientation::Horizontal,
                              QWidget *parent = nullptr);

    double value() const noexcept { return m_value; }
    void setValue(double value);
    ValueRange range() const noexcept { return m_range; }
    void setRange(ValueRange range);

    // For assistive technologies only; never drawn.
    void setLabel(const QString &label);
    void setValueLabel(const QString &valueLabel);
    // The step the page's readout rounds the value to; 1 unless set.
    void setAccessibleStep(double step);

    // The track's stops from the lower end to the upper end; one colour fills it evenly.
    void setColours(std::vector<ui::DynamicColor> colours);
    // When set, the track is filled from its lower end to the knob's centre.
    void setFill(std::optional<ui::DynamicColor> fill);

    bool isDragging() const noexcept { return m_dragging; }
    bool showsFocusRing() const { return hasFocus() && m_keyboardFocus; }
    // The slider's own rectangle, inside the focus-ring margin.
    QRectF sliderRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    double accessibleValue() const override { return m_value; }
    ValueRange accessibleRange() const override { return m_range; }
    QString accessibleLabel() const override { return m_label; }
    QString accessibleValueText() const override { return m_valueLabel; }
    double accessibleStep() const override { return m_accessibleStep; }
    void setValueFromAccessibility(double value) override;

Q_SIGNALS:
    // The user moved the value (drag, key or assistive technology).
    void valueEdited(double value);
    void editingChanged(bool editing);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    double positionAlongTrack(const QPointF &point) const;
    double trackLength() const;
    void dragTo(const QPointF &point);
    void endDrag();
    void write(double value);
    void paintTrack(QPainter &painter, double length) const;
    void paintFill(QPainter &painter, double length) const;
    void paintKnob(QPainter &painter, double length) const;

    SliderGeometry m_geometry;
    SliderOrientation m_orientation;
    double m_value = 0;
    ValueRange m_range{0, 100};
    QString m_label;
    QString m_valueLabel;
    double m_accessibleStep = 1;
    std::vector<ui::DynamicColor> m_colours;
    std::optional<ui::DynamicColor> m_fill;
    bool m_dragging = false;
    bool m_keyboardFocus = false;
    ui::AnimatedValue<double> m_knobScale;
};

} // namespace vantora::controls
