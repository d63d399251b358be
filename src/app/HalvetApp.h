#pragma once

#include "app/LaunchFlags.h"
#include "app/LaunchPlan.h"
#include "app/ProcessExitHook.h"
#include "panel/PanelEnvironment.h"
#include "runtime/TaskScope.h"
#include "statusitem/BoolBinding.h"
#include "statusitem/StatusItemObjects.h"
#include "store/AppSessionRecovery.h"
#include "ui/ColorScheme.h"

#include <QObject>

#include <memory>

class QMenu;
#include <optional>

namespace vantora {

namespace platform {
class HotKeyBackend;
class SecretServiceWatch;
class ShellQuitAction;
class TrayHostWatch;
class X11HotKeys;
class X11FocusGrabs;
class X11WindowActivation;
class XkbKeyboardLayout;
} // namespace platform
namespace runtime {
class UserDefaults;
}
namespace statusitem {
class PanelWindow;
class StatusItemAccess;
class StatusNotifierItem;
class TrayMenuBarExtra;
} // namespace statusitem
namespace ui {
class Appearance;
class WindowPalettes;
class DesktopSettings;
} // namespace ui
namespace GlobalShortcuts {
class DeclinedShortcuts;
class DesktopChosenShortcuts;
class HotKeyCenter;
class ShortcutActions;
class ShortcutStorage;
} // namespace GlobalShortcuts

namespace recorder {
class RecorderAlerts;
struct RecorderServices;
} // namespace recorder

class AppCommands;
class AppWindows;
class BridgeOnboarding;
class HalvetStore;
class PanelNavigation;
class ToggleAppearance;
class TrayIconTint;
class WindowlessQuit;

// The running application: the one store, onboarding, session recovery and panel navigation
// of the process, the tray item with its panel, the windows opened on request, the commands
// and the two global shortcuts. Built once by main() and kept until the process ends.
class HalvetApp final : public QObject {
    Q_OBJECT
public:
    // Where global shortcuts are taken: X11 grabs, or the desktop's shortcut portal where it
    // has one (a Wayland session, where grabs see keys only while an X11 window has the focus),
    // with X11 grabs until the portal answers.
    enum class HotKeys : quint8 { x11Grabs, desktopPortalFirst };

    // Builds everything; shows nothing and reads nothing from the keyring yet.
    HalvetApp(LaunchFlags flags, runtime::UserDefaults &defaults, HotKeys hotKeys = HotKeys::x11Grabs,
              QObject *parent = nullptr);
    ~HalvetApp() override;

    // Shows the tray icon and runs the launch task on the next turn of the event loop: it
    // reads the saved connection (live runs only), which may wait for the keyring's unlock
    // prompt while the icon is up; then, with no tray host on the desktop, it shows the
    // panel as a window.
    void start();

    // Shows the panel, or brings it to the front when it is shown (another launch asked).
    // Without a tray, while a window that shows the lights panel is open (the welcome window
    // of a first start, a preview), that window is the panel: it comes to the front instead,
    // here and for the shortcut.
    void showPanel();
    // Another launch of the application asked for it: what that launch would have read at
    // its start is read again (a keyring started since), then the panel shows.
    void launchedAgain();
    // The key-up actions of the two global shortcuts.
    void togglePanel();
    void toggleAllLights();

    HalvetStore &store() const { return *m_store; }
    BridgeOnboarding &onboarding() const { return *m_onboarding; }
    PanelNavigation &navigation() const { return *m_navigation; }
    statusitem::BoolBinding &isPanelPresented() { return m_isPanelPresented; }

protected:
    // Names the shell's quit action on each new window of the application.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the tray icon that suits the trays there are now.
    void showTrayIcon();
    // Presents the panel by the desktop's tray from now on.
    void followTrayHost();
    void runLaunchTask();
    // Reads the saved connection again where it could not be read at launch, without
    // blocking, and says so in the terminal once it is read.
    void readSavedConnectionAgain();
    void onLaunch();
    void setUpGlobalShortcuts(HotKeys hotKeys);
    void registerGlobalShortcuts();
    PanelPieces panelPieces();
    void endSession();
    // Hands the next panel opening the X time of the shortcut key that asks for it.
    void passShortcutTime();
    void confirmBridgeReset();
    void showAbout();
    // A lights panel for `window` (the tray's panel or a window that shows one), with its own
    // colour scheme when given, and the pieces the settings layer adds to it.
    QWidget *makePanelContent(QWidget &window, PanelNavigation &navigation, std::optional<ui::ColorScheme> scheme);
    void setUpWindows();
    // The open window that shows the lights panel in the panel's stead while no tray is
    // there; null when none is, or when there is a tray.
    QWidget *panelStandIn() const;
    // Whether `window` stands for the panel and shows the lights, as after a first pairing: it
    // is then put away and brought back as the panel window is.
    bool standsInWithLights(const QWidget &window) const;

    const LaunchFlags m_flags;
    const LaunchPlan m_plan;
    runtime::UserDefaults &m_defaults;
    std::unique_ptr<ui::DesktopSettings> m_desktopSettings;
    ui::Appearance *m_appearance;
    ui::WindowPalettes *m_windowPalettes;
    ToggleAppearance *m_toggleAppearance;
    std::unique_ptr<HalvetStore> m_store;
    std::unique_ptr<BridgeOnboarding> m_onboarding;
    // A live store's keyring may come after the start: the connection is read again then.
    std::unique_ptr<platform::SecretServiceWatch> m_keyringWatch;
    AppSessionRecovery m_sessionRecovery;
    // When the X server goes away Qt ends the process at once; the session still ends.
    ProcessExitHook m_exitHook{[this] { endSession(); }};
    PanelNavigation *m_navigation;
    statusitem::BoolBinding m_didLaunch{false};
    statusitem::BoolBinding m_isPanelPresented{false};
    statusitem::BoolBinding m_isStatusItemEnabled{true};
    // The panel is presented by the desktop's tray (beside its icon, or as a window without
    // one); until then, a launch that asked to show it waits for that.
    bool m_followsTrayHost = false;
    bool m_panelAskedEarly = false;

    // Before the panels and windows, which use them until they go.
    std::unique_ptr<platform::X11WindowActivation> m_windowActivation;
    std::unique_ptr<platform::X11FocusGrabs> m_focusGrabs;
    std::unique_ptr<platform::ShellQuitAction> m_shellQuit;
    std::unique_ptr<platform::XkbKeyboardLayout> m_keyboardLayout;
    std::unique_ptr<platform::HotKeyBackend> m_hotKeyBackend;
    // The backend when it is X11's: it knows the key's X time and whether grabs can work.
    platform::X11HotKeys *m_x11HotKeys = nullptr;
    std::unique_ptr<GlobalShortcuts::HotKeyCenter> m_hotKeyCenter;
    std::unique_ptr<GlobalShortcuts::ShortcutStorage> m_shortcutStorage;
    std::unique_ptr<GlobalShortcuts::ShortcutActions> m_shortcutActions;
    std::unique_ptr<GlobalShortcuts::DeclinedShortcuts> m_declinedShortcuts;
    std::unique_ptr<GlobalShortcuts::DesktopChosenShortcuts> m_desktopChosenShortcuts;
    std::unique_ptr<recorder::RecorderAlerts> m_recorderAlerts;
    std::unique_ptr<recorder::RecorderServices> m_recorderServices;
    QMenu *m_trayMenu = nullptr;

    statusitem::PlatformApplication m_platformApplication;
    std::unique_ptr<statusitem::PanelWindow> m_panel;
    // Owned here, not by parent, so that each goes before what it refers to.
    std::unique_ptr<AppCommands> m_commands;
    std::unique_ptr<platform::TrayHostWatch> m_trayHosts;
    std::unique_ptr<statusitem::TrayMenuBarExtra> m_extra;
    std::unique_ptr<TrayIconTint> m_trayIconTint;
    std::unique_ptr<statusitem::StatusNotifierItem> m_statusNotifierItem;
    std::unique_ptr<statusitem::StatusItemAccess> m_statusItemAccess;
    std::unique_ptr<AppWindows> m_windows;
    // Goes before the windows, whose hiding then ends nothing.
    std::unique_ptr<WindowlessQuit> m_windowlessQuit;


    // Last: destroyed first, so no task outlives what it works on.
    runtime::TaskScope m_tasks;
};

} // namespace vantora
