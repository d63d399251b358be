#pragma once

class QWidget;

namespace vantora::ui {

// Makes `window` a top-level window that offers no maximise button, for windows whose content
// has one size (set with setFixedSize or a layout's SetFixedSize, which tell the window
// manager min = max). Call before the window first shows.
void makeFixedSizeWindow(QWidget &window);

} // namespace vantora::ui
