#pragma once

#include <QCheckBox>

namespace vantora::ui {

// A check box drawn as the panel's own controls are, in the scheme of its surroundings: a
// small rounded square with a hairline edge when off, filled with the accent colour and
// ticked in white when on, and its label in the text colour. Pressed it darkens, disabled it
// fades. The whole box and label take the click. It takes focus by keyboard only, and shows
// with an accent outline the focus that the keyboard gave it.
class PanelCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    explicit PanelCheckBox(const QString &text, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool hitButton(const QPoint &pos) const override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_showsFocusRing = false;
};

} // namespace vantora::ui
