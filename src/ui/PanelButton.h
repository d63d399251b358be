#pragma once

#include <QPushButton>

namespace vantora::ui {

// A push button drawn as the panel's own controls are, in the scheme of its surroundings: a
// rounded plate with a hairline edge, filled with the accent colour when it is the default
// button. Pressed it darkens, disabled it fades. It takes focus by keyboard only, and shows
// with an accent outline the focus that the keyboard gave it.
class PanelButton final : public QPushButton {
    Q_OBJECT
public:
    explicit PanelButton(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_showsFocusRing = false;
};

} // namespace vantora::ui
