#include "controls/RoomBrightnessButton.h"

#include "controls/RoomBrightnessGlyph.h"

#include "controls/FocusRing.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/HoverTracker.h"
#include "ui/PlainToolTip.h"
#include "ui/Shapes.h"

#include <QPainter>

#include <cmath>

namespace vantora::controls {

namespace glyph = roomBrightnessGlyph;

namespace {

const QSize buttonSize(40, 30);
const ui::Animation hoverAnimation = ui::Animation::easeInOut(0.16);
const ui::Animation expansionAnimation = ui::Animation::easeOut(0.16);
const ui::Animation brightnessAnimation = ui::Animation::easeOut(0.12);

} // namespace

RoomBrightnessButton::RoomBrightnessButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_hoverTracker(new ui::HoverTracker(this))
    , m_brightnessShown(this, "brightness", 0.0)
    , m_expansion(this, "expanded", 0.0)
    , m_glyphOpacity(this, "glyphOpacity", 0.3)
    , m_backdropAlpha(this, "backdrop", 0.0)
{
    installAccessibleButtonFactory();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setRoomName({});
    applyHelp();
    connect(m_hoverTracker, &ui::HoverTracker::hoveredChanged, this, [this] { followState(hoverAnimation); });
}

void RoomBrightnessButton::setExpanded(bool expanded)
{
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    m_expansion.animateTo(expanded ? 1.0 : 0.0, expansionAnimation);
    followState(expansionAnimation);
}

void RoomBrightnessButton::setBrightness(double brightness)
{
    const double shown = glyph::progressFor(brightness, true);
    m_brightness = brightness;
    m_brightnessShown.animateTo(shown, brightnessAnimation);
}

void RoomBrightnessButton::setRoomName(const QString &roomName)
{
    ui::a11y::setName(this, tr("%1 brightness").arg(roomName));
}

double RoomBrightnessButton::glyphProgress() const
{
    // Closing shrinks the rays back to stubs, opening grows them to the brightness.
    return m_brightnessShown.value() * std::clamp(m_expansion.value(), 0.0, 1.0);
}

QString RoomBrightnessButton::accessibleValueText() const
{
    return m_expanded ? tr("Expanded") : tr("Collapsed");
}

QSize RoomBrightnessButton::sizeHint() const { return buttonSize; }

void RoomBrightnessButton::applyHelp()
{
    ui::setPlainToolTip(*this, isEnabled() ? tr("Adjust brightness of lights that are on")
                                           : tr("No available dimmable lights in this room"));
}

void RoomBrightnessButton::followState(const ui::Animation &animation)
{
    const bool hovered = m_hoverTracker->isHovered();
    m_glyphOpacity.animateTo(m_expanded || hovered ? 1.0 : 0.3, animation);
    const double backdrop = hovered && isEnabled() ? 0.1 : (m_expanded ? 0.05 : 0.0);
    m_backdropAlpha.animateTo(backdrop, animation);
}

bool RoomBrightnessButton::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QAbstractButton::event(event);
}

void RoomBrightnessButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        applyHelp();
        followState(hoverAnimation);
    }
    QAbstractButton::changeEvent(event);
}

bool RoomBrightnessButton::hitButton(const QPoint &position) const
{
    return ui::shapes::roundedRect(rect(), ui::shapes::capsule).contains(position);
}

void RoomBrightnessButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.4);
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    const QRectF frame(QPointF(0, 0), QSizeF(buttonSize));
    if (m_backdropAlpha.value() > 0) {
        const QColor backdrop = dark ? ui::colours::white(m_backdropAlpha.value())
                                     : ui::colours::black(m_backdropAlpha.value());
        painter.fillPath(ui::shapes::roundedRect(frame, ui::shapes::capsule), backdrop);
    }
    QPen pen(dark ? ui::colours::grey(0.72) : ui::colours::grey255(77), 2, Qt::SolidLine, Qt::RoundCap,
             Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.setOpacity(painter.opacity() * m_glyphOpacity.value());
    painter.strokePath(glyph::path(glyphProgress(), frame), pen);
    // Buttons take focus by keyboard only, so focus always shows.
    if (hasFocus()) {
        painter.setOpacity(1);
        focusRing::paint(painter, this, frame, ui::shapes::capsule);
    }
}

} // namespace vantora::controls
