#include "welcome/BridgeButtonPulse.h"

#include "welcome/ViewTimeline.h"

#include "ui/Accessibility.h"
#include "ui/BridgeIllustration.h"
#include "ui/EnvironmentKeys.h"
#include "ui/GaussianBlur.h"

#include <QPainter>

namespace vantora {

namespace {

const QColor cyan(0, 194, 245);
constexpr qreal blurRadius = 2;
constexpr qreal glowRadius = 4;
constexpr qreal glowOpacity = 0.6;
// The ring is drawn at its largest scale, so that scaling it never enlarges the image.
constexpr qreal largestScale = 1.23;
// Room around the ring for its blur and glow to spread into (three standard deviations of
// both, a standard deviation being half a radius).
constexpr qreal margin = 10;

pulseCurve::Motion motionOf(const QWidget *widget)
{
    return ui::reduceMotion(widget) ? pulseCurve::Motion::Reduced : pulseCurve::Motion::Full;
}

void tint(QImage &mask, const QColor &colour)
{
    QPainter painter(&mask);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(mask.rect(), colour);
}

} // namespace

BridgeButtonPulse::BridgeButtonPulse(QWidget *parent)
    : QWidget(parent)
    , m_timeline(new ViewTimeline(this, ViewTimeline::Origin::EachStart, ViewTimeline::WindowActivity::Ignored,
                                  [this] { return mode() == pulseCurve::Mode::Running; }))
{
    setFixedSize(ui::BridgeIllustration::frameSize);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ui::a11y::setHidden(this);
}

void BridgeButtonPulse::setPulse(pulseCurve::PulseSwitch pulse)
{
    if (pulse == m_pulse)
        return;
    m_pulse = pulse;
    m_timeline->reevaluate();
    update();
}

pulseCurve::Mode BridgeButtonPulse::mode() const
{
    return pulseCurve::mode(m_pulse, motionOf(this));
}

bool BridgeButtonPulse::isRunning() const
{
    return m_timeline->isRunning();
}

pulseCurve::Frame BridgeButtonPulse::currentFrame() const
{
    const pulseCurve::Mode current = mode();
    if (current == pulseCurve::Mode::Running)
        return pulseCurve::running(m_timeline->elapsedSeconds());
    return pulseCurve::resting(current);
}

const QImage &BridgeButtonPulse::ringImage(qreal pixelRatio)
{
    const qreal scale = pixelRatio * largestScale;
    if (!m_ring.isNull() && m_ring.devicePixelRatio() == scale)
        return m_ring;
    const QSizeF logical = ringSize + QSizeF(2 * margin, 2 * margin);
    QImage mask((logical * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.setPen(QPen(Qt::black, ringLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawEllipse(QRectF(QPointF(margin, margin), ringSize));
    }
    ui::gaussianBlurAlpha(mask, blurRadius / 2 * scale);
    QImage glow = mask.copy();
    ui::gaussianBlurAlpha(glow, glowRadius / 2 * scale);
    QColor glowColour = cyan;
    glowColour.setAlphaF(glowOpacity);
    tint(glow, glowColour);
    tint(mask, cyan);
    {
        QPainter painter(&glow);
        painter.drawImage(0, 0, mask);
    }
    glow.setDevicePixelRatio(scale);
    m_ring = glow;
    return m_ring;
}

void BridgeButtonPulse::paintEvent(QPaintEvent *)
{
    const pulseCurve::Frame frame = currentFrame();
    if (frame.opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage &ring = ringImage(devicePixelRatioF());
    const QSizeF logical = ringSize + QSizeF(2 * margin, 2 * margin);
    painter.translate(ui::BridgeIllustration::linkButtonCentre);
    painter.scale(frame.scale, frame.scale);
    painter.setOpacity(frame.opacity);
    painter.drawImage(QRectF(QPointF(-logical.width() / 2, -logical.height() / 2), logical), ring);
}

} // namespace vantora
