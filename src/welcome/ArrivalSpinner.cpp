#include "welcome/ArrivalSpinner.h"

#include "welcome/SpinnerGeometry.h"
#include "welcome/ViewTimeline.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vantora {

ArrivalSpinner::ArrivalSpinner(ui::DynamicColor colour, Spinning spinning, QWidget *parent)
    : QWidget(parent)
    , m_colour(std::move(colour))
    , m_spinning(spinning)
    , m_timeline(new ViewTimeline(this, ViewTimeline::Origin::FirstShow, ViewTimeline::WindowActivity::Required,
                                  [this] { return m_spinning == Spinning::Running && !ui::reduceMotion(this); }))
{
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::a11y::setHidden(this);
}

void ArrivalSpinner::setColour(const ui::DynamicColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void ArrivalSpinner::setSpinning(Spinning spinning)
{
    if (spinning == m_spinning)
        return;
    m_spinning = spinning;
    m_timeline->reevaluate();
}

bool ArrivalSpinner::isTurning() const
{
    return m_timeline->isRunning();
}

double ArrivalSpinner::turnOffset() const
{
    const auto motion = ui::reduceMotion(this) ? spinnerGeometry::Motion::Reduced : spinnerGeometry::Motion::Full;
    return spinnerGeometry::turnOffset(m_timeline->elapsedSeconds(), motion);
}

void ArrivalSpinner::paintEvent(QPaintEvent *)
{
    using namespace spinnerGeometry;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = m_colour.resolve(ui::colorScheme(this));
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = std::min(width(), height()) / 2.0 - lineWidth / 2;
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);

    QColor track = colour;
    track.setAlphaF(colour.alphaF() * trackOpacity);
    painter.setPen(QPen(track, lineWidth));
    painter.drawEllipse(ring);

    for (const ArcSegment &segment : arrivalSegments(turnOffset())) {
        QColor piece = colour;
        piece.setAlphaF(colour.alphaF() * segment.opacity);
        QPainterPath arc;
        // Qt's angles grow counter-clockwise on screen.
        arc.arcMoveTo(ring, -segment.startDegrees);
        arc.arcTo(ring, -segment.startDegrees, -(segment.endDegrees - segment.startDegrees));
        painter.setPen(QPen(piece, lineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(arc);
    }
}

} // namespace vantora
