#pragma once

#include <QWidget>

namespace vantora::ui {

class WindowMover;

// An invisible area by which its window is dragged: a left press starts moving the window
// with the pointer (the first click on an inactive window too). Used as a row's background,
// the row's controls keep their presses and everything else in the row drags; a press with
// no native window behind it does nothing.
class PanelDragArea final : public QWidget {
    Q_OBJECT
public:
    static constexpr int topStripHeight = 12;

    explicit PanelDragArea(QWidget *parent = nullptr);

    // Lays a strip of drag area along the top edge of `panel`, full width and topStripHeight
    // high, over all of the panel's other children (also those added later) and hidden from
    // accessibility. It follows the panel's width.
    static PanelDragArea *addTopStrip(QWidget *panel);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    WindowMover &mover() const;

    bool m_moving = false;
};

} // namespace vantora::ui
