#pragma once

#include <QApplication>
#include <QWidget>

namespace vantora::testing {

// Shows `window` and makes it the application's active window at once, as the window manager
// would on the user's click. Qt asks widgets to request activation from the platform instead,
// which the offscreen platform grants late or, for tool windows, not at all; a test needs the
// change to have happened when the next line runs.
inline void activate(QWidget &window)
{
    window.show();
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(&window);
    QT_WARNING_POP
}

// No window of the application is active, as when the user works in another application's.
inline void deactivateAll()
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(nullptr);
    QT_WARNING_POP
}

} // namespace vantora::testing
