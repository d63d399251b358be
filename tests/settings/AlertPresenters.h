#pragma once

#include "settings/Alert.h"
#include "welcome/BridgeResetControl.h"

#include <QWidget>

namespace vantora::testing {

// The two ways the app asks something of the user from a window: a notice, and the question
// before the connection is reset.
struct AlertPresenter {
    const char *name;
    void (*present)(QWidget *origin);
};

inline const AlertPresenter alertPresenters[] = {
    {"a notice",
     [](QWidget *origin) { showAlert(MessageBoxAlerts::shared(), origin, "Couldn’t check for updates", "Try later."); }},
    {"the reset question",
     [](QWidget *origin) {
         // Nothing is answered, so nothing runs on the scope.
         static runtime::TaskScope tasks(runtime::mainExecutor());
         askToResetBridge(origin, {}, tasks);
     }},
};

} // namespace vantora::testing
