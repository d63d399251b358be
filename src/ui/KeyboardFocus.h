#pragma once

#include <QFocusEvent>

namespace vantora::ui {

// Whether a focus change should show a focus ring: focus arrived from the keyboard, not from
// a click or from a window becoming active.
inline bool focusCameByKeyboard(const QFocusEvent &event)
{
    switch (event.reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace vantora::ui
