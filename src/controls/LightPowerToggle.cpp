#include "controls/LightPowerToggle.h"

#include "controls/FocusRing.h"

#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"

#include <QFocusEvent>
#include <QPainter>

namespace vantora::controls {

namespace {

using ui::colours::displayP3;
using ui::colours::grey;
using ui::colours::grey255;

QColor p3(int red, int green, int blue, qreal alpha = 1)
{
    return displayP3(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

struct AccentPalette {
    QColor track[2];
    QColor trackRim[2];
    QColor knobFill[2];
    QColor knobRim[3];
};

AccentPalette accentPalette(ToggleColor accent)
{
    switch (accent) {
    case ToggleColor::amber:
        return {{p3(255, 170, 0), p3(255, 192, 0)}, {p3(255, 160, 0), p3(255, 188, 0)},
                {p3(255, 215, 131), p3(255, 222, 136)}, {p3(255, 235, 145), p3(255, 205, 85), p3(255, 238, 152)}};
    case ToggleColor::aqua:
        return {{p3(28, 218, 251), p3(28, 251, 221)}, {p3(0, 190, 218), p3(0, 238, 208)},
                {p3(255, 255, 255, 0.6), p3(255, 255, 255, 0.2)}, {p3(199, 248, 255), p3(0, 221, 217), p3(199, 248, 255)}};
    case ToggleColor::blue:
        return {{p3(28, 80, 251), p3(28, 162, 251)}, {p3(0, 71, 236), p3(0, 157, 243)},
                {p3(206, 234, 255, 0.5), p3(178, 221, 255, 0.5)}, {p3(150, 210, 255), p3(41, 156, 239), p3(150, 210, 255)}};
    case ToggleColor::green:
        return {{p3(65, 251, 28), p3(176, 244, 162)}, {p3(35, 220, 0), p3(148, 232, 136)},
                {p3(255, 255, 255, 0.5), p3(255, 255, 255, 0.5)}, {p3(199, 255, 188), p3(112, 232, 88), p3(199, 255, 188)}};
    case ToggleColor::purple:
        return {{p3(113, 0, 255), p3(121, 127, 255)}, {p3(113, 0, 255), p3(121, 127, 255)},
                {p3(197, 160, 255), p3(203, 198, 255)}, {p3(222, 218, 255), p3(145, 128, 255), p3(222, 221, 255)}};
    }
    return accentPalette(ToggleColor::amber);
}

constexpr double knobHeight = 18;
constexpr double knobTravel = 8;

} // namespace

LightPowerToggle::LightPowerToggle(QWidget *parent)
    : QAbstractButton(parent)
    , m_position(this, "position", 0.0)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(frameSize);
    connect(this, &QAbstractButton::clicked, this, [this] { Q_EMIT switchRequested(!m_on); });
}

void LightPowerToggle::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    setChecked(on);
    m_position.animateTo(isActive() ? 1.0 : 0.0, ui::Animation::easeInOut(0.18));
    update();
}

void LightPowerToggle::setUnavailable(bool unavailable)
{
    if (unavailable == m_unavailable)
        return;
    m_unavailable = unavailable;
    m_position.animateTo(isActive() ? 1.0 : 0.0, ui::Animation::easeOut(0.15));
    update();
}

void LightPowerToggle::setAccent(ToggleColor accent)
{
    if (accent == m_accent)
        return;
    m_accent = accent;
    update();
}

void LightPowerToggle::paintEvent(QPaintEvent *)
{
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    const bool active = isActive();
    const bool resting = !m_on && !m_unavailable;
    const AccentPalette accent = accentPalette(m_accent);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_unavailable ? 0.5 : 1.0);
    const QRectF track(QPointF((width() - artworkSize.width()) / 2, (height() - artworkSize.height()) / 2), artworkSize);
    using ui::shapes::capsule;
    using ui::shapes::verticalGradient;

    painter.setPen(Qt::NoPen);
    painter.setBrush(dark ? verticalGradient(track, {grey(0.22), grey(0.28)})
                          : verticalGradient(track, {grey255(233), grey255(241)}));
    painter.drawPath(ui::shapes::roundedRect(track, capsule));
    if (active) {
        painter.setBrush(verticalGradient(track, {accent.track[0], accent.track[1]}));
        painter.drawPath(ui::shapes::roundedRect(track, capsule));
    }
    const QLinearGradient rim = active ? verticalGradient(track, {accent.trackRim[0], accent.trackRim[1]})
                                : dark ? verticalGradient(track, {grey(0.30), grey(0.34)})
                                       : verticalGradient(track, {grey255(219), grey255(237)});
    ui::shapes::strokeInside(painter, track, capsule, 1, rim);

    const double knobWidth = resting ? 30 : 28;
    const double offset = -knobTravel + 2 * knobTravel * m_position.value();
    const QRectF knob(track.center().x() + offset - knobWidth / 2, track.center().y() - knobHeight / 2, knobWidth,
                      knobHeight);
    const QLinearGradient knobFill = active ? verticalGradient(knob, {accent.knobFill[0], accent.knobFill[1]})
                                     : dark ? verticalGradient(knob, {grey(0.72), grey(0.88)})
                                            : verticalGradient(knob, {Qt::white, Qt::white});
    painter.setBrush(knobFill);
    painter.drawPath(ui::shapes::roundedRect(knob, capsule));
    const QLinearGradient knobRim =
        active ? verticalGradient(knob, {accent.knobRim[0], accent.knobRim[1], accent.knobRim[2]})
               : verticalGradient(knob, {Qt::white, resting ? grey255(193) : grey(0.88), Qt::white});
    ui::shapes::strokeInside(painter, knob, capsule, resting ? 1 : 0.75, knobRim);

    if (hasFocus() && m_keyboardFocus) {
        painter.setOpacity(1.0);
        const double outset = focusRing::outset;
        focusRing::paint(painter, this, track.adjusted(-outset, -outset, outset, outset));
    }
}

void LightPowerToggle::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
    update();
}

void LightPowerToggle::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
    update();
}

void LightPowerToggle::mousePressEvent(QMouseEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::mousePressEvent(event);
}

} // namespace vantora::controls
