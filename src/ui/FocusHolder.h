#pragma once

#include <Qt>

class QString;
class QWidget;

namespace vantora::ui {

// Pages, overlays and sheets take the keyboard focus now and then: Escape must reach them,
// or a control inside was disabled while it had the focus. They are no stop of their own:
// Tab passes them by, a page's first focus goes to its first control, and while one holds
// the focus a reader hears its name, never an unnamed area.

// Makes `container` such a holder, read as a pane named `name`.
void makeFocusHolder(QWidget &container, const QString &name);

// Whether `widget` is `container` or one of the widgets inside it.
bool isInside(const QWidget *widget, const QWidget &container);

// Whether Tab stops at `control` as `within` shows now: shown in it, enabled, taking the
// focus by Tab and passing it to no proxy.
bool isTabStop(const QWidget &control, const QWidget &within);

// The first control after `from` along the window's focus chain that Tab stops at inside
// `within`, passing by whatever `passing` holds; none when there is none.
QWidget *nextTabStop(QWidget &from, const QWidget &within, const QWidget *passing = nullptr);

// Gives the focus to the first control inside `container` that Tab reaches (enabled, shown,
// taking focus by Tab), or to `container` itself when it holds none.
void focusFirstControl(QWidget &container, Qt::FocusReason reason = Qt::OtherFocusReason);

} // namespace vantora::ui
