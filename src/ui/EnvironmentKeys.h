#pragma once

#include "ui/ColorScheme.h"
#include "ui/Environment.h"

#include <QString>

namespace vantora::ui {

// The desktop's appearance; set on the root scope by Appearance, per scope by previews and tests.
inline const EnvironmentKey<ColorScheme> colorSchemeKey{"colorScheme", ColorScheme::Light,
                                                         EnvironmentUpdate::Repaint};
// The desktop asks for less motion: animations become immediate changes where the views say so.
inline const EnvironmentKey<bool> reduceMotionKey{"reduceMotion", false};
// The name of the way back from a page that covers another, after where it leads ("Back to
// lights"): set by whoever shows the page underneath; empty where nobody says.
inline const EnvironmentKey<QString> backNameKey{"backName", QString()};

inline ColorScheme colorScheme(const QWidget *widget)
{
    return Environment::of(widget).value(colorSchemeKey);
}

inline bool reduceMotion(const QWidget *widget)
{
    return Environment::of(widget).value(reduceMotionKey);
}

} // namespace vantora::ui
