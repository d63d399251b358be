#pragma once

#include <QString>

namespace vantora::ui {

// A tooltip that shows `text` exactly as written: markup in it (a light named "<b>Hall</b>")
// is shown as characters, never interpreted, and line breaks stay. Empty text gives an empty
// tooltip (none).
QString plainToolTip(const QString &text);

} // namespace vantora::ui
