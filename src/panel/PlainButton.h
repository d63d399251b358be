#pragma once

#include <QAbstractButton>

namespace vantora {

// A button without chrome whose look is its child widgets (a row's icon and texts): presses
// on children that do not take them themselves press the button. Space and Return press it
// from the keyboard, and a focus ring shows while keyboard focus is on it.
class PlainButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit PlainButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_showsFocus = false;
};

} // namespace vantora
