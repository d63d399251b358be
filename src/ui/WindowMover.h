#pragma once

#include "ui/Environment.h"

#include <QPoint>
#include <QPointer>

#include <optional>

class QWidget;

namespace vantora::ui {

// Moves a window with the pointer, from a press until the button is released. Drag areas
// reach it through the environment (windowMoverKey), so tests can put a recorder in its
// place: the offscreen platform has no window manager to move anything.
class WindowMover {
public:
    virtual ~WindowMover() = default;

    // A press at `globalPosition` in a drag area of `window`, which has a native window.
    virtual void pressed(QWidget &window, QPoint globalPosition) = 0;
    virtual void moved(QPoint globalPosition) = 0;
    virtual void released() = 0;

    // The window system's own move (X11 and Wayland), else moving the window by hand.
    static WindowMover &system();
    // Always by hand: for a window that must keep the keyboard while it moves.
    static WindowMover &byHand();
};

// Moves the window itself on each pointer move until the release. The pointer stays with
// the application throughout, so no window manager takes the keyboard from the window, as
// its own move does on X11 (a window that closes when it loses the focus would close).
class HandWindowMover final : public WindowMover {
public:
    void pressed(QWidget &window, QPoint globalPosition) override;
    void moved(QPoint globalPosition) override;
    void released() override;

private:
    struct Move {
        QPointer<QWidget> window;
        QPoint grabOffset; // from the window's top-left corner to the press
    };
    std::optional<Move> m_move;
};

// The window system's move, which follows the pointer without further help. Where the
// window system refuses (no window manager, an override-redirect window) the window is
// moved by hand.
class SystemWindowMover final : public WindowMover {
public:
    void pressed(QWidget &window, QPoint globalPosition) override;
    void moved(QPoint globalPosition) override;
    void released() override;

private:
    HandWindowMover m_byHand; // holds no move while the window system moves
};

// Null means WindowMover::system().
inline const EnvironmentKey<WindowMover *> windowMoverKey{"windowMover", nullptr};

} // namespace vantora::ui
