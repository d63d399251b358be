#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

namespace vantora {

class ViewTimeline;

enum class Spinning {
    Running,
    Stopped,
};

// The arrival pill's spinner: a 14-pixel ring whose arc is drawn as 60 short pieces rising
// from transparent at the tail to the full colour at the head, one turn every 0.9 s. It
// turns only while it is running, on screen in the active window, with Reduce Motion off;
// under Reduce Motion it stands still with the arc from 140° to 360°. A stopped spinner keeps
// its place and its phase. Hidden from accessibility.
class ArrivalSpinner final : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 14;

    ArrivalSpinner(ui::DynamicColor colour, Spinning spinning, QWidget *parent = nullptr);

    void setColour(const ui::DynamicColor &colour);
    void setSpinning(Spinning spinning);
    bool isTurning() const;
    double turnOffset() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ui::DynamicColor m_colour;
    Spinning m_spinning;
    ViewTimeline *m_timeline;
};

} // namespace vantora
