#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

namespace vantora::controls {

// The hue and saturation field of the colour card: every hue from left to right, fading to
// white towards the bottom, with a marker at the current colour. It edits two fractions and
// sends nothing itself.
//
// Each drag step, handled arrow key and accessibility action writes the values and emits
// `edited`, also when nothing moved (at a limit). A drag is bracketed by
// `editingChanged(true)` and exactly one `editingChanged(false)`, also when the field is
// disabled or hidden mid-drag; keys and accessibility actions never report editing. Page Up
// and Page Down take the accessibility steps (hue ±0.025, going round), Home and End go to
// the first and the last hue. Disabled, the field takes no focus, passes keys on and ignores
// every action.
//
// To assistive technologies it is a slider whose value is only its text, which names both
// axes ("Hue 120 degrees, saturation 50 percent"): a number of one axis would be read without
// the other, or beside the text. A key that moves the colour reads the new text out.
//
// Like the value slider it keeps a focusRing::outset margin around the field for its ring.
class ColourSpectrum final : public QWidget {
    Q_OBJECT
public:
    explicit ColourSpectrum(QWidget *parent = nullptr);

    double hue() const noexcept { return m_hue; }
    double saturation() const noexcept { return m_saturation; }
    // From the owner; emits nothing.
    void setColour(double hue, double saturation);

    bool isDragging() const noexcept { return m_dragging; }
    bool showsFocusRing() const { return hasFocus() && m_keyboardFocus; }
    QRectF fieldRect() const;

    // The named accessibility actions besides increase and decrease.
    static QString moreSaturatedAction();
    static QString lessSaturatedAction();
    // Runs an accessibility action by name; nothing while disabled.
    void runAccessibilityAction(const QString &name);

    QSize sizeHint() const override;

Q_SIGNALS:
    void edited();
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
    void dragTo(const QPointF &point);
    void endDrag();
    void write(double hue, double saturation);
    void paintField(QPainter &painter, const QRectF &field) const;
    void paintMarker(QPainter &painter, const QRectF &field) const;

    double m_hue = 0;
    double m_saturation = 1;
    bool m_dragging = false;
    bool m_keyboardFocus = false;
    ui::AnimatedValue<double> m_markerScale;
};

} // namespace vantora::controls
