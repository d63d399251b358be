#pragma once

#include "ui/DynamicColor.h"

#include <QAbstractButton>

namespace vantora {

// A button inside the connection pill: just its label, in the pill's medium-weight text,
// dimmed to 0.65 opacity while pressed; no background and no hover effect. A button that
// fills the pill takes clicks on the pill's capsule only. Focused by the keyboard it shows the
// focus ring, round the pill or, for a button that is only its label, round the label and
// the room its size keeps beside it for the ring.
class PillActionButton final : public QAbstractButton {
    Q_OBJECT
public:
    enum class Trailing {
        Nothing,
        // A small downward chevron after the title, 8 pixels on.
        Chevron,
    };
    enum class HitShape {
        Bounds,
        Capsule,
    };

    static constexpr qreal pressedOpacity = 0.65;

    PillActionButton(const QString &title, Trailing trailing, HitShape hitShape, ui::DynamicColor colour,
                     QWidget *parent);

    // The label's opacity now: pressedOpacity while the button is down, else 1.
    qreal labelOpacity() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool showsFocusRing() const { return hasFocus() && m_keyboardFocus; }

protected:
    bool hitButton(const QPoint &position) const override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    qreal labelWidth() const;

    Trailing m_trailing;
    HitShape m_hitShape;
    ui::DynamicColor m_colour;
    bool m_keyboardFocus = false;
};

} // namespace vantora
