#include "welcome/SearchingSpinner.h"

#include "welcome/SpinnerGeometry.h"
#include "welcome/ViewTimeline.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace vantora {

namespace {

spinnerGeometry::Motion motionOf(const QWidget *widget)
{
    return ui::reduceMotion(widget) ? spinnerGeometry::Motion::Reduced : spinnerGeometry::Motion::Full;
}

// Qt's gradient runs counter-clockwise on screen from its start angle; the fade's angles run
// clockwise, so each stop sits at the mirrored position.
QConicalGradient fadeGradient(const QPointF &centre, const QColor &colour)
{
    QConicalGradient gradient(centre, 0);
    for (const spinnerGeometry::FadeStop &stop : spinnerGeometry::searchingFade) {
        QColor faded = colour;
        faded.setAlphaF(colour.alphaF() * stop.opacity);
        gradient.setColorAt(1 - stop.degrees / 360, faded);
    }
    return gradient;
}

} // namespace

SearchingSpinner::SearchingSpinner(ui::DynamicColor colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(std::move(colour))
    , m_timeline(new ViewTimeline(this, ViewTimeline::Origin::FirstShow, ViewTimeline::WindowActivity::Required,
                                  [this] { return !ui::reduceMotion(this); }))
{
    setFixedSize(qCeil(side), qCeil(side));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::a11y::setHidden(this);
}

void SearchingSpinner::setColour(const ui::DynamicColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

bool SearchingSpinner::isTurning() const
{
    return m_timeline->isRunning();
}

double SearchingSpinner::turnOffset() const
{
    return spinnerGeometry::turnOffset(m_timeline->elapsedSeconds(), motionOf(this));
}

void SearchingSpinner::paintEvent(QPaintEvent *)
{
    using namespace spinnerGeometry;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = m_colour.resolve(ui::colorScheme(this));
    const qreal inset = (width() - side) / 2 + lineWidth / 2;
    const QRectF ring = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const QPointF centre = ring.center();

    QColor track = colour;
    track.setAlphaF(colour.alphaF() * trackOpacity);
    painter.setPen(QPen(track, lineWidth));
    painter.drawEllipse(ring);

    painter.translate(centre);
    painter.rotate(turnOffset());
    painter.translate(-centre);
    QPainterPath arc;
    // Qt's angles grow counter-clockwise on screen.
    arc.arcMoveTo(ring, -arcStart);
    arc.arcTo(ring, -arcStart, -(arcEnd - arcStart));
    painter.setPen(QPen(QBrush(fadeGradient(centre, colour)), lineWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(arc);
}

} // namespace vantora
