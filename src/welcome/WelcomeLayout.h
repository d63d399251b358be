#pragma once

#include "welcome/PulseCurve.h"

#include <QPointer>
#include <QWidget>

namespace vantora {

class BridgeButtonPulse;

namespace ui {
class PanelDragArea;
}

// The fixed 440 × 434 stage of the welcome and connection screens: a soft vertical backdrop
// with a faint hairline, the logo at the top over a strip by which the panel is dragged, the
// picture of the bridge with the pulse over its link button, and the screen's content 264
// pixels below the top edge.
//
// The content gets the stage's full width and the height it asks for, in the content
// colour as its palette's text colour; what reaches past the stage's bottom edge (more than
// 170 pixels) is cut off there. The picture takes no clicks: they reach the stage beneath.
// The logo strip is 72 pixels high across the whole width, the logo included.
class WelcomeLayout final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize stageSize{440, 434};
    static constexpr int dragStripHeight = 72;
    static constexpr QRect logoFrame{181, 48, 78, 24};
    static constexpr QPoint illustrationOrigin{110, 90};
    static constexpr int contentTop = 264;
    static constexpr qreal hairlineTop = 159;

    // Takes `content` (may be null) as a child.
    WelcomeLayout(pulseCurve::PulseSwitch pulse, QWidget *content, QWidget *parent = nullptr);

    void setPulse(pulseCurve::PulseSwitch pulse);
    // Replaces the content, deleting the previous one.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    BridgeButtonPulse *buttonPulse() const noexcept { return m_pulse; }
    ui::PanelDragArea *dragArea() const noexcept { return m_dragArea; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyContentColour();
    void placeContent();

    ui::PanelDragArea *m_dragArea;
    QWidget *m_logo;
    QWidget *m_illustration;
    BridgeButtonPulse *m_pulse;
    QWidget *m_contentSlot;
    QPointer<QWidget> m_content;
};

} // namespace vantora
