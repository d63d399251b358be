#pragma once

#include "runtime/TaskScope.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace vantora {

class BridgeOnboarding;
class HalvetStore;
class PanelNavigation;

namespace statusitem {
class BoolBinding;
}

// The application's commands, as actions shared by the tray icon's menu and every window
// of the application (where their key shortcuts work: Ctrl+, Ctrl+R, Ctrl+Q). Their
// enabled states follow the store and the onboarding as they change.
class AppCommands final : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> about;
        std::function<void()> checkForUpdates;
        // Asks whether to forget the saved bridge, and does it when confirmed.
        std::function<void()> resetConnection;
        // The panel is to show a page for a command, which may come from a tray host's menu.
        std::function<void()> panelShowsCommand;
    };

    AppCommands(HalvetStore &store, BridgeOnboarding &onboarding, PanelNavigation &navigation,
                statusitem::BoolBinding &isPanelPresented, Hooks hooks,
                runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    ~AppCommands() override;

    QAction *showPanel() const noexcept { return m_showPanel; }
    QAction *about() const noexcept { return m_about; }
    QAction *checkForUpdates() const noexcept { return m_checkForUpdates; }
    QAction *preferences() const noexcept { return m_preferences; }
    QAction *resetConnection() const noexcept { return m_resetConnection; }
    QAction *refreshLights() const noexcept { return m_refreshLights; }
    QAction *quit() const noexcept { return m_quit; }

    // The keyboard-shortcuts page of the active window's panel, else the panel's own,
    // shown.
    void openPreferences();

    // Every command, in menu order; owned by `parent`.
    QMenu *makeMenu(QWidget *parent = nullptr) const;
    // Makes the key shortcuts work while `window` is active.
    void addShortcutsTo(QWidget *window) const;

private:
    void updateEnabled();

    HalvetStore &m_store;
    BridgeOnboarding &m_onboarding;
    PanelNavigation &m_navigation;
    statusitem::BoolBinding &m_isPanelPresented;
    QAction *m_showPanel;
    QAction *m_about;
    QAction *m_checkForUpdates;
    QAction *m_preferences;
    QAction *m_resetConnection;
    QAction *m_refreshLights;
    QAction *m_quit;
    std::function<void()> m_panelShowsCommand;
    // Last: destroyed first.
    runtime::TaskScope m_tasks;
};

} // namespace vantora
