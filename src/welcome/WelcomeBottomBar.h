#pragma once

#include "welcome/WelcomeScreenRules.h"

#include <QAbstractButton>
#include <QWidget>

#include <map>
#include <vector>

namespace vantora {

// A button that is only its words: 12 pixels, medium weight, in the secondary colour (the
// primary one under the pointer or with focus), underlined while focused by the keyboard.
class PlainTextButton final : public QAbstractButton {
    Q_OBJECT
public:
    PlainTextButton(const QString &text, QWidget *parent);
    QSize sizeHint() const override;
    bool showsFocusUnderline() const { return hasFocus() && m_keyboardFocus; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_keyboardFocus = false;
};

// The row of buttons along the welcome screen's bottom edge, 12 pixels apart. Every button
// exists from the start and keeps its identity; apply() shows the given ones in the given
// order and hides the rest.
class WelcomeBottomBar final : public QWidget {
    Q_OBJECT
public:
    using Button = welcomeScreen::BarButton;

    static constexpr int spacing = 12;

    explicit WelcomeBottomBar(QWidget *parent = nullptr);

    void apply(const std::vector<Button> &buttons);
    const std::vector<Button> &shown() const noexcept { return m_shown; }
    QAbstractButton *button(Button which) const { return m_buttons.at(which); }

Q_SIGNALS:
    void pressed(vantora::welcomeScreen::BarButton button);

private:
    std::map<Button, QAbstractButton *> m_buttons;
    std::vector<Button> m_shown;
};

} // namespace vantora
