#include "ui/Spinner.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FrameClock.h"
#include "ui/SystemColours.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace vantora::ui {

namespace {

constexpr qreal innerRadius = 3.5;
constexpr qreal outerRadius = 7;
constexpr qreal spokeWidth = 1.6;
// The spoke furthest behind the leading one keeps this much of its colour.
constexpr qreal faintestSpoke = 0.25;

} // namespace

Spinner::Spinner(QWidget *parent)
    : QWidget(parent)
    , m_colour(systemColours::secondary())
{
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    a11y::setHidden(this);
}

void Spinner::setColour(const DynamicColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

bool Spinner::isTurning() const
{
    return m_clock && m_clock->contains(&m_turning);
}

void Spinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    startTurning();
}

void Spinner::hideEvent(QHideEvent *event)
{
    stopTurning();
    QWidget::hideEvent(event);
}

void Spinner::startTurning()
{
    FrameClock &clock = FrameClock::of(this);
    if (clock.contains(&m_turning))
        return;
    m_turning.start = clock.now();
    m_clock = &clock;
    clock.add(&m_turning, this);
}

void Spinner::stopTurning()
{
    if (m_clock)
        m_clock->remove(&m_turning);
    m_clock = nullptr;
}

FrameDemand Spinner::Turning::frame(runtime::SteadyTime now)
{
    const auto step = period / spokes;
    const int spoke = static_cast<int>(((now - start) / step) % spokes);
    if (spoke != owner.m_leadingSpoke) {
        owner.m_leadingSpoke = spoke;
        owner.update();
    }
    return FrameDemand::More;
}

void Spinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const QColor base = m_colour.resolve(colorScheme(this));
    for (int i = 0; i < spokes; ++i) {
        // How far behind the leading spoke, 0 for the leader itself.
        const int behind = (m_leadingSpoke - i + spokes) % spokes;
        QColor colour = base;
        colour.setAlphaF(base.alphaF() * (1 - (1 - faintestSpoke) * behind / (spokes - 1)));
        const qreal angle = 2 * std::numbers::pi * i / spokes - std::numbers::pi / 2;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.setPen(QPen(colour, spokeWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(direction * innerRadius, direction * outerRadius);
    }
}

} // namespace vantora::ui
