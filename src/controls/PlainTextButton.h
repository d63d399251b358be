#pragma once

#include "ui/DynamicColor.h"

#include <QAbstractButton>

namespace vantora::controls {

// A button that is only its text, as the light page's mode segments, presets and "Try
// again" are: no bezel, the whole rectangle takes clicks, Space presses it once it has
// focus, and the controls' focus ring shows when focus came by keyboard. Once selected or
// deselected it is one choice among its sibling buttons: assistive technologies read a radio
// button, checked while selected, and pressed while selected it says it stays so.
class PlainTextButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit PlainTextButton(const QString &text, QWidget *parent = nullptr);

    void setForeground(const ui::DynamicColor &colour);
    void setSelected(bool selected);
    bool isSelected() const noexcept { return m_selected; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // A press never flips the selection; the owner sets it.
    void nextCheckState() override {}

private:
    ui::DynamicColor m_foreground;
    bool m_selected = false;
    bool m_keyboardFocus = false;
};

} // namespace vantora::controls
