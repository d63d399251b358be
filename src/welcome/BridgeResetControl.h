#pragma once

#include "runtime/Task.h"
#include "runtime/TaskScope.h"
#include "ui/Environment.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vantora {

class BridgeOnboarding;
class HalvetStore;

// The way to forget the saved bridge, offered by the lights panel to the screens inside it
// through the environment (bridgeResetKey). Absent means no reset entry anywhere.
struct BridgeResetControl final {
    // Whether the reset may be offered now.
    bool isEnabled = false;
    // Asks for confirmation, then forgets the bridge; reports no failure to its caller.
    std::function<void()> action;
};

inline const ui::EnvironmentKey<std::optional<BridgeResetControl>> bridgeResetKey{"bridgeReset", std::nullopt};

// What decides whether the reset is offered.
struct BridgeResetConditions final {
    // The store has a saved bridge it may forget.
    bool canForgetBridge = false;
    // The onboarding is searching, connecting or pairing.
    bool onboardingIsRunning = false;
};

// What a confirmed reset does, in this order: forget the bridge (which waits for the
// keyring), then, when that left no connection, take the onboarding back to its start;
// when the keyring refused, tell the person what it said.
struct BridgeResetSteps final {
    std::function<runtime::Task<void>()> forgetBridge;
    std::function<bool()> isConnected;
    std::function<void()> returnOnboardingToReady;
    // The keyring's words when it refused the last forgetting; none when it did not.
    std::function<std::optional<QString>()> refusal;
};

// Enabled when the bridge can be forgotten and no onboarding attempt is running. The action
// asks on `panel`'s window (see askToResetBridge) and does nothing once the panel is gone.
BridgeResetControl makeBridgeResetControl(const BridgeResetConditions &conditions, QWidget *panel,
                                          BridgeResetSteps steps, runtime::TaskScope &tasks);

// Asks, in a warning box modal to `origin`'s window (to the whole application without one),
// whether to reset this computer's bridge connection, and runs `steps` as a task of `tasks`
// only when the user confirms; Cancel, Return, Escape and closing the box do nothing.
// Returns at once; the answer arrives later. A reset the keyring refuses (left locked, or
// gone) is told in a warning box of the same kind, in the keyring's words, whose Try Again
// forgets the bridge again; its Cancel keeps the connection. Nothing is asked or told once
// `origin` is gone, and `tasks` must live as long as `origin`.
void askToResetBridge(QWidget *origin, BridgeResetSteps steps, runtime::TaskScope &tasks);

// The conditions and steps of a reset of `store`'s bridge with `onboarding`.
BridgeResetConditions bridgeResetConditions(const HalvetStore &store, const BridgeOnboarding &onboarding);
BridgeResetSteps bridgeResetSteps(HalvetStore &store, BridgeOnboarding &onboarding);

// The reset the application's command asks for: nothing at all unless the conditions allow
// a reset now, else the confirmation above with the steps for `store` and `onboarding`. The
// store checks again when the user confirms, so a reset that became impossible while the
// box was open changes nothing.
void confirmBridgeReset(HalvetStore &store, BridgeOnboarding &onboarding, QWidget *origin, runtime::TaskScope &tasks);

} // namespace vantora
