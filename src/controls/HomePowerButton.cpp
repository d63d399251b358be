#include "controls/HomePowerButton.h"

#include "controls/HomePillSurface.h"

#include "controls/FocusRing.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/GroupLayer.h"
#include "ui/HoverTracker.h"
#include "ui/PlainToolTip.h"
#include "ui/Shapes.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"

#include <QFocusEvent>
#include <QPainter>
#include <QtMath>

#include <utility>

namespace vantora::controls {

namespace {

constexpr double pillHeight = 30;
constexpr double leadingPadding = 6;
constexpr double trailingPadding = 12;
constexpr double spacing = 6;
constexpr double glyphSize = 24;
const ui::Animation hoverAnimation = ui::Animation::easeInOut(0.16);

} // namespace

HomePowerButton::HomePowerButton(HomePower power, QWidget *parent)
    : QAbstractButton(parent)
    , m_power(power)
    , m_hoverTracker(new ui::HoverTracker(this))
    , m_tint(this, "hoverTint", 0.0)
{
    setFont(ui::systemFont(14, QFont::Medium));
    setContentsMargins(HomePillSurface::shadowMargins());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    connect(m_hoverTracker, &ui::HoverTracker::hoveredChanged, this, [this] { followHover(); });
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QAbstractButton::clicked, this, [this] { m_toldOfNextChange = hasFocus(); });
#endif
    applyTexts();
}

void HomePowerButton::setPower(HomePower power)
{
    if (power == m_power)
        return;
    m_power = power;
    applyTexts();
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Before Qt 6.8 a new name reaches a reader without its text, which it cannot say: the
    // button pressed from the keyboard says what it does now. A change made elsewhere (the
    // all-lights key) tells its own outcome.
    if (std::exchange(m_toldOfNextChange, false) && hasFocus())
        ui::a11y::tellOutcome(accessibleName());
#endif
}

QColor HomePowerButton::glyphColour(HomePower power)
{
    if (power == HomePower::TurnOn)
        return ui::colours::grey(0.7541);
    return QColor::fromRgbF(0.7847f, 0.3747f, 0.3747f);
}

void HomePowerButton::applyTexts()
{
    const bool on = m_power == HomePower::TurnOn;
    setText(on ? tr("All on") : tr("All off"));
    ui::a11y::setName(this, on ? tr("Turn all lights on") : tr("Turn all lights off"));
    ui::setPlainToolTip(*this, on ? tr("Turn all reachable lights on") : tr("Turn all reachable lights off"));
    updateGeometry();
    update();
}

QSize HomePowerButton::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const double width = leadingPadding + glyphSize + spacing + fontMetrics().horizontalAdvance(text())
        + trailingPadding;
    return {qCeil(width) + margins.left() + margins.right(),
            static_cast<int>(pillHeight) + margins.top() + margins.bottom()};
}

QRectF HomePowerButton::pillRect() const { return QRectF(contentsRect()); }

bool HomePowerButton::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QAbstractButton::event(event);
}

void HomePowerButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        followHover();
    QAbstractButton::changeEvent(event);
}

void HomePowerButton::followHover()
{
    const bool tinted = homePillButtonStyle::showsTint(m_hoverTracker->isHovered(), isEnabled());
    m_tint.animateTo(tinted ? 1.0 : 0.0, hoverAnimation);
}

bool HomePowerButton::hitButton(const QPoint &position) const
{
    return ui::shapes::roundedRect(pillRect(), ui::shapes::capsule).contains(position);
}

void HomePowerButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const QRectF pill = pillRect();
    const double tint = isEnabled() ? m_tint.value() : 0;
    ui::paintGroup(painter, QRectF(rect()), homePillButtonStyle::opacity(isEnabled(), isDown()), [&](QPainter &group) {
        HomePillSurface::paint(group, pill, scheme, tint);
        const QRectF glyph(pill.left() + leadingPadding, pill.center().y() - glyphSize / 2, glyphSize, glyphSize);
        ui::SvgImage(ui::Image::HomePower).paint(group, glyph, glyphColour(m_power));
        group.setFont(font());
        group.setPen(HomePillSurface::palette(scheme).foreground);
        const QRectF label(glyph.right() + spacing, pill.top(), pill.right() - glyph.right() - spacing, pill.height());
        group.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    });
    // The ring shows for focus that came by keyboard: as the panel's first control the button
    // also gets the focus a window hands on as it opens, under a click on the tray icon.
    if (hasFocus() && m_keyboardFocus)
        focusRing::paint(painter, this, pill, ui::shapes::capsule);
}

void HomePowerButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
}

void HomePowerButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    m_toldOfNextChange = false;
    QAbstractButton::focusOutEvent(event);
}

} // namespace vantora::controls
