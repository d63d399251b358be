#pragma once

#include "ui/DynamicColor.h"

#include <QAbstractButton>

namespace vantora {

// A button inside the connection pill: just its label, in the pill's medium-weight text,
// dimmed to 0.65 opacity while pressed; no background and no hover effect. A button that
// fills the pill takes clicks on the pill's capsule only.
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

protected:
    bool hitButton(const QPoint &position) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal labelWidth() const;

    Trailing m_trailing;
    HitShape m_hitShape;
    ui::DynamicColor m_colour;
};

} // namespace vantora
