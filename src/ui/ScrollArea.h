#pragma once

#include "ui/AnimatedValue.h"

#include <QScrollArea>

namespace vantora::ui {

// A vertical scroll area that can also scroll itself with an animation (a jump back to the
// top of a list). The user wins: a scroll of theirs while such a motion runs ends the motion
// where the user put the content. Frameless, with a transparent viewport, as the panel's
// lists sit on their page's background. It takes no focus itself.
class ScrollArea final : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollArea(QWidget *parent = nullptr);

    // Scrolls so that content position `y` (clamped to the scrollable range) is at the top,
    // under `animation`; immediately when it is none, under Reduce Motion, or off screen.
    void animateTo(int y, const Animation &animation);
    bool isAnimating() const { return m_position.isAnimating(); }

private:
    void followUserScroll(int value);

    AnimatedValue<double> m_position;
    bool m_applying = false;
};

} // namespace vantora::ui
