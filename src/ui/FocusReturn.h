#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;

namespace vantora::ui {

// The keyboard focus that a window opened over the user's work (an alert, About) gives back
// as it closes. The window manager hands the activation to a window of its own choosing, if
// any, and a tray panel is seldom its choice: the control the user was on would be left
// without the keys.
class FocusReturn final {
public:
    // Notes the control with the focus now: a control that handed its focus over, or else the
    // focus of `origin`'s shown window, kept while a menu or another window has the
    // activation; without an origin, or when its window is hidden or has no focus, the
    // application's.
    explicit FocusReturn(const QWidget *origin);

    // Takes the focus from `control`, without giving it to anything, for a window about to
    // open from it: the window's focus-in is then the only one a reader hears. The next
    // FocusReturn noted gives the focus back to `control`.
    static void handOver(QWidget &control);

    // Activates the noted control's window and focuses the control again; nothing when the
    // control went or is hidden.
    void giveBack() const;

private:
    QPointer<QWidget> m_control;
};

// As `dialog`, about to open for `origin`, finishes, gives the focus back to the control that
// has it now. Call it before connecting anything else to `finished`: what runs then may move
// the focus on by itself.
void returnFocusOnFinish(QDialog &dialog, const QWidget *origin);

// Where the keys go from a sheet, page or slider inside a window as it closes.
enum class FocusStep {
    // To the control it was opened from (Escape, Cancel, Done, Shift+Tab out of a slider
    // that stands just after its opener).
    Opener,
    // To the control that Tab reaches after the opener (Tab out of such a slider).
    AfterOpener,
};

// As `closing`, opened from `opener` inside the same window, closes: when the window's focus
// is inside `closing`, or nowhere, moves it as `step` says; when the opener went, is hidden,
// disabled or takes no focus, to the first control of `fallback` instead. A focus that has
// left `closing` already stays where it is. Call it before `closing` hides: hidden with the
// focus, Qt would first move the focus on along the window's chain, and a reader would hear
// whichever control follows there.
void giveFocusBack(const QWidget &closing, QWidget *opener, QWidget &fallback, FocusStep step = FocusStep::Opener);

} // namespace vantora::ui
