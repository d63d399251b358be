#pragma once

#include "bridge/BridgeConnection.h"
#include "bridge/HueSnapshot.h"

#include <QStringList>

#include <optional>

// What the panel root decides from the store and its own state, as plain functions.
namespace vantora::panelRules {

enum class Page {
    // The onboarding stands in for the lights.
    welcome,
    // The rooms and lights, with a light's page over them while one is selected.
    lights,
    // The visible snapshot holds no light.
    noLights,
};

Page choosePage(bool needsOnboarding, const HueSnapshot &visibleLights);

// The height of a panel page: the visible height of the screen less 48, at most 542, never
// below 0; 542 when there is no screen.
qreal pageHeight(std::optional<int> screenVisibleHeight);

// The key of the current bridge's favourite rooms: "preview" for the demonstration store,
// else the saved bridge's id, "unpaired" without one.
QString favouritesKey(bool isDemo, const std::optional<BridgeConnection> &connection);

// The ids of the snapshot's rooms in display order (every light counts, hidden ones too).
QStringList roomIDs(const HueSnapshot &snapshot);
// The ids of the lights, in snapshot order.
QStringList lightIDs(const HueSnapshot &snapshot);

} // namespace vantora::panelRules
