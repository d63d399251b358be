#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

namespace vantora {

class ViewTimeline;

// The spinner of the connection pill's search: a 13.5-pixel ring whose arc fades in over its
// first 50° and turns once every 0.9 s. It turns only while it is on screen in the active
// window and Reduce Motion is off; under Reduce Motion it stands still with the arc from
// 140° to 360°, and after a pause it jumps to the phase that the time since it was first
// shown gives. Hidden from accessibility.
class SearchingSpinner final : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal side = 13.5;

    explicit SearchingSpinner(ui::DynamicColor colour, QWidget *parent = nullptr);

    void setColour(const ui::DynamicColor &colour);
    bool isTurning() const;
    // The turn drawn now, in degrees.
    double turnOffset() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ui::DynamicColor m_colour;
    ViewTimeline *m_timeline;
};

} // namespace vantora
