#pragma once

#include "ui/AnimatedValue.h"

#include <QAbstractButton>

namespace vantora::recorder {

// The keyboard-shortcuts page's way back: an arrow on a pill that lights up under the
// pointer, named after where it leads (the lights unless its surroundings say otherwise).
// Pressing shows nothing of its own.
class ShortcutBackButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit ShortcutBackButton(QWidget *parent = nullptr);

    bool isHovered() const noexcept { return m_hover.target() > 0.5; }
    // The 44 × 30 pill and, around it, the room its shadows fall in.
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followBackName();

    ui::AnimatedValue<double> m_hover;
    bool m_showsFocusRing = false;
};

} // namespace vantora::recorder
