#include "welcome/WelcomeBottomBar.h"

#include "welcome/WelcomePalette.h"
#include "welcome/WelcomeScreenTexts.h"

#include "ui/EnvironmentKeys.h"
#include "ui/KeyboardFocus.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>

namespace vantora {

namespace {

QString textOf(welcomeScreen::BarButton button)
{
    using Texts = WelcomeScreenTexts;
    switch (button) {
    case welcomeScreen::BarButton::ConnectionHelp:
        return Texts::connectionHelp();
    case welcomeScreen::BarButton::EnterAddress:
        return Texts::enterAddress();
    case welcomeScreen::BarButton::ResetConnection:
        return Texts::resetConnection();
    case welcomeScreen::BarButton::Cancel:
        return Texts::cancel();
    }
    Q_UNREACHABLE();
}

} // namespace

PlainTextButton::PlainTextButton(const QString &text, QWidget *parent)
    : QAbstractButton(parent)
{
    setText(text);
    setFont(ui::systemFont(12, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

QSize PlainTextButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2, metrics.height()};
}

void PlainTextButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const bool emphasised = underMouse() || hasFocus() || isDown();
    painter.setPen(emphasised ? welcomePalette::contentForeground().resolve(scheme)
                              : ui::systemColours::secondary().resolve(scheme));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    // A darker colour alone is too faint a sign of where the keys are.
    if (showsFocusUnderline())
        painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
}

void PlainTextButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = ui::focusCameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
}

void PlainTextButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
}

WelcomeBottomBar::WelcomeBottomBar(QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    for (const Button which : {Button::ConnectionHelp, Button::EnterAddress, Button::ResetConnection, Button::Cancel}) {
        auto *button = new PlainTextButton(textOf(which), this);
        button->hide();
        connect(button, &QAbstractButton::clicked, this, [this, which] { Q_EMIT pressed(which); });
        m_buttons.emplace(which, button);
    }
}

void WelcomeBottomBar::apply(const std::vector<Button> &buttons)
{
    if (buttons == m_shown)
        return;
    m_shown = buttons;
    auto *row = static_cast<QHBoxLayout *>(layout());
    for (const auto &[which, button] : m_buttons) {
        row->removeWidget(button);
        button->hide();
    }
    for (const Button which : buttons) {
        row->addWidget(m_buttons.at(which), 0, Qt::AlignVCenter);
        m_buttons.at(which)->show();
    }
    adjustSize();
}

} // namespace vantora
