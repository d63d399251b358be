#pragma once

#include "shortcuts/ConflictPolicy.h"

#include "ui/Environment.h"

namespace vantora::recorder {

// How the recorders inside a view tree treat clashes; a tree that sets nothing gets the
// standard policy (menu item: block, system: warn, disallowed: block).
inline const ui::EnvironmentKey<GlobalShortcuts::ConflictPolicy> globalShortcutsConflictPolicyKey{
    "globalShortcutsConflictPolicy", GlobalShortcuts::ConflictPolicy::standard};

} // namespace vantora::recorder
