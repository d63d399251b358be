#pragma once

#include "ui/Environment.h"
#include "ui/FocusedValues.h"

#include <QLatin1String>

#include <functional>

class QWidget;

namespace vantora {

class HalvetStore;
struct AppIssue;

// The user default that hides unreachable lights from the panel: a bool, absent means false.
// The panel reads it and turns it off from the no-lights page; the settings menu toggles it.
inline constexpr QLatin1String hideUnavailableDevicesKey{"hideUnavailableDevices"};

// Opens the keyboard-shortcuts page of the panel around the reader; the settings menus
// read it. The default does nothing.
using OpenShortcutsAction = std::function<void()>;
inline const ui::EnvironmentKey<OpenShortcutsAction> openShortcutsKey{"openShortcuts", OpenShortcutsAction{}};
// The same action offered to the application's menu command while the panel's window is active.
inline const ui::FocusedValueKey<OpenShortcutsAction> focusedOpenShortcutsKey{"openShortcuts"};

// The pieces the panel places but the layers above it build (the settings menu, the
// keyboard-shortcuts page, the error banner and issue notice). The application sets them on
// its panel windows' scopes; a piece left empty is simply not placed.
struct PanelPieces final {
    enum class MenuStyle {
        plain,
        pill,
    };

    // The settings menu button.
    std::function<QWidget *(MenuStyle style, QWidget *parent)> settingsMenu{};
    // The keyboard-shortcuts page; `back` closes it (also what its Escape does).
    std::function<QWidget *(std::function<void()> back, QWidget *parent)> shortcutsPage{};
    // Puts the error banner above `page` while `store` records an unexpected issue; yields
    // the widget to place in the page's stead, `page` inside it, under the page's parent.
    std::function<QWidget *(QWidget *page, HalvetStore &store)> errorOverlay{};
    // The notice of an unexpected issue at the top of the lights list.
    std::function<QWidget *(const AppIssue &issue, std::function<void()> dismiss, QWidget *parent)> issueNotice{};
};

inline const ui::EnvironmentKey<PanelPieces> panelPiecesKey{"panelPieces", PanelPieces{}};

} // namespace vantora
