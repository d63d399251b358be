#pragma once

#include "welcome/PulseCurve.h"

#include <QImage>
#include <QWidget>

namespace vantora {

class ViewTimeline;

// A glowing cyan ring over the bridge picture's link button that swells and fades once a
// second while the onboarding waits on the bridge. It covers the picture's 220 × 172 frame,
// takes no clicks and is hidden from accessibility.
//
// Switched off, the ring is invisible; under Reduce Motion it stands still, faint and
// unscaled. Otherwise it runs only while it is on screen, and each time it starts running
// (it is shown again, switched on, or Reduce Motion is turned off) its cycle begins anew.
class BridgeButtonPulse final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSizeF ringSize{76, 38};
    static constexpr qreal ringLineWidth = 1.5;

    explicit BridgeButtonPulse(QWidget *parent = nullptr);

    void setPulse(pulseCurve::PulseSwitch pulse);
    pulseCurve::PulseSwitch pulse() const noexcept { return m_pulse; }

    pulseCurve::Mode mode() const;
    bool isRunning() const;
    // The ring as it is drawn now.
    pulseCurve::Frame currentFrame() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The blurred ring with its glow, at full scale, for the given pixel ratio.
    const QImage &ringImage(qreal pixelRatio);

    pulseCurve::PulseSwitch m_pulse = pulseCurve::PulseSwitch::Off;
    QImage m_ring;
    ViewTimeline *m_timeline;
};

} // namespace vantora
