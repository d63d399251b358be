#include "ui/Animation.h"

#include <QPointF>

#include <cmath>
#include <numbers>

namespace vantora::ui {

namespace {

// A spring counts as settled below this share of the way, in distance and speed together.
constexpr double settleThreshold = 0.001;

} // namespace

Animation Animation::timingCurve(double x1, double y1, double x2, double y2, double seconds)
{
    Animation animation;
    animation.m_kind = Kind::TimingCurve;
    animation.m_x1 = x1;
    animation.m_y1 = y1;
    animation.m_x2 = x2;
    animation.m_y2 = y2;
    animation.m_seconds = seconds;
    animation.m_curve = QEasingCurve(QEasingCurve::BezierSpline);
    animation.m_curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return animation;
}

Animation Animation::spring(double response, double dampingFraction)
{
    Q_ASSERT(response > 0 && dampingFraction > 0);
    Animation animation;
    animation.m_kind = Kind::Spring;
    animation.m_response = response;
    animation.m_damping = dampingFraction;
    return animation;
}

Animation::SpringState Animation::springState(double t, double v0) const
{
    // The offset y = 1 − progress obeys y'' + 2ζω₀y' + ω₀²y = 0 with y(0) = 1, y'(0) = −v0.
    const double omega = 2 * std::numbers::pi / m_response;
    const double zeta = m_damping;
    if (zeta < 1) {
        const double omegaD = omega * std::sqrt(1 - zeta * zeta);
        const double b = (zeta * omega - v0) / omegaD;
        const double decay = std::exp(-zeta * omega * t);
        const double c = std::cos(omegaD * t);
        const double s = std::sin(omegaD * t);
        return {decay * (c + b * s), decay * ((b * omegaD - zeta * omega) * c - (zeta * omega * b + omegaD) * s)};
    }
    if (zeta == 1) {
        const double decay = std::exp(-omega * t);
        const double k = omega - v0;
        return {decay * (1 + k * t), decay * (k - omega * (1 + k * t))};
    }
    const double root = omega * std::sqrt(zeta * zeta - 1);
    const double r1 = -zeta * omega + root;
    const double r2 = -zeta * omega - root;
    const double c2 = (-v0 - r1) / (r2 - r1);
    const double c1 = 1 - c2;
    return {c1 * std::exp(r1 * t) + c2 * std::exp(r2 * t), c1 * r1 * std::exp(r1 * t) + c2 * r2 * std::exp(r2 * t)};
}

bool Animation::springHasSettled(double elapsed, double initialVelocity) const
{
    // sqrt(y² + (y'/ω₀)²) is the oscillator's energy in units of distance; damping only
    // ever lowers it.
    const double omega = 2 * std::numbers::pi / m_response;
    const SpringState state = springState(elapsed, initialVelocity);
    return std::hypot(state.offset, state.speed / omega) < settleThreshold;
}

double Animation::progress(double elapsed, double initialVelocity) const
{
    switch (m_kind) {
    case Kind::None:
        return 1;
    case Kind::TimingCurve:
        if (elapsed >= m_seconds)
            return 1;
        return elapsed <= 0 ? 0 : m_curve.valueForProgress(elapsed / m_seconds);
    case Kind::Spring:
        if (elapsed <= 0)
            return 0;
        return 1 - springState(elapsed, initialVelocity).offset;
    }
    return 1;
}

double Animation::velocity(double elapsed, double initialVelocity) const
{
    if (m_kind != Kind::Spring)
        return 0;
    return -springState(std::max(elapsed, 0.0), initialVelocity).speed;
}

bool Animation::isFinished(double elapsed, double initialVelocity) const
{
    switch (m_kind) {
    case Kind::None:
        return true;
    case Kind::TimingCurve:
        return elapsed >= m_seconds;
    case Kind::Spring:
        return springHasSettled(elapsed, initialVelocity);
    }
    return true;
}

double Animation::settlingTime(double initialVelocity) const
{
    if (m_kind != Kind::Spring)
        return m_seconds;
    double high = m_response;
    while (!springHasSettled(high, initialVelocity))
        high *= 2;
    double low = 0;
    for (int step = 0; step < 50; ++step) {
        const double middle = (low + high) / 2;
        (springHasSettled(middle, initialVelocity) ? high : low) = middle;
    }
    return high;
}

QString Animation::description() const
{
    switch (m_kind) {
    case Kind::None:
        return QStringLiteral("none");
    case Kind::TimingCurve:
        return QStringLiteral("curve(%1, %2, %3, %4) over %5 s").arg(m_x1).arg(m_y1).arg(m_x2).arg(m_y2).arg(m_seconds);
    case Kind::Spring:
        return QStringLiteral("spring(response %1, damping %2)").arg(m_response).arg(m_damping);
    }
    return {};
}

bool operator==(const Animation &a, const Animation &b)
{
    return a.m_kind == b.m_kind && a.m_x1 == b.m_x1 && a.m_y1 == b.m_y1 && a.m_x2 == b.m_x2 && a.m_y2 == b.m_y2
        && a.m_seconds == b.m_seconds && a.m_response == b.m_response && a.m_damping == b.m_damping;
}

} // namespace vantora::ui
