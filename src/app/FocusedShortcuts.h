#pragma once

#include "panel/PanelEnvironment.h"

#include <optional>

class QWidget;

namespace vantora {

// The open-shortcuts action of the panel in each top-level window, for commands that live
// outside every panel (the tray menu, the key shortcuts of the application's windows): they
// ask for the action of the active window.
class FocusedShortcuts final {
public:
    // Publishes `action` for `window` (a top-level window) for as long as `window` lives.
    static void publish(QWidget *window, OpenShortcutsAction action);
    // The action of the active window, if it published one.
    static std::optional<OpenShortcutsAction> ofActiveWindow();
};

} // namespace vantora
