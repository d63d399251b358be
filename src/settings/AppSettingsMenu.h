#pragma once

#include "ui/AnimatedValue.h"

#include <QToolButton>

#include <functional>

class QAction;

namespace vantora {

namespace runtime {
class UserDefaults;
}
namespace ui {
class HoverTracker;
}

class LoginItemController;
class ReleaseChecker;

// The settings button of the panel's pages: a small gear that opens a menu of the
// application's commands and settings: About, the update check, the keyboard-shortcuts page,
// Start at Login, hiding unavailable devices, resetting the bridge connection (the
// bridgeReset control of its environment; disabled without an enabled one) and Quit.
//
// The menu keeps no state of its own: each entry shows its owner's state when the menu
// opens and follows it while open, and the Start at Login entry shows what the desktop
// holds after a change, not what was clicked.
class AppSettingsMenu final : public QToolButton {
    Q_OBJECT
public:
    enum class Style {
        // A bare 32 × 32 gear (the light page).
        plain,
        // A 52 × 30 pill that lights up under the pointer (the lights and no-lights pages).
        pill,
    };

    // What the entries act on.
    struct Services {
        runtime::UserDefaults *defaults = nullptr;
        ReleaseChecker *releaseChecker = nullptr;
        LoginItemController *loginItem = nullptr;
        std::function<void()> showAbout;
        // Opens the keyboard-shortcuts page of the panel the menu is in; empty: nothing.
        std::function<void(const QWidget &menu)> openShortcuts;
        // Held, not owned: the application's one Quit action with its key shortcut, which the
        // menu's own entry triggers.
        QAction *quit = nullptr;

        // The application's: its checker, its login item, its About window, quitting the
        // application.
        static Services application(runtime::UserDefaults &defaults,
                                    std::function<void(const QWidget &menu)> openShortcuts);
    };

    static constexpr QLatin1String hideUnavailableDevicesKey{"hideUnavailableDevices"};

    AppSettingsMenu(Style style, Services services, QWidget *parent = nullptr);

    Style style() const noexcept { return m_style; }
    QAction *aboutAction() const { return m_about; }
    QAction *updatesAction() const { return m_updates; }
    QAction *preferencesAction() const { return m_preferences; }
    QAction *startAtLoginAction() const { return m_startAtLogin; }
    QAction *hideUnavailableAction() const { return m_hideUnavailable; }
    QAction *resetAction() const { return m_reset; }
    QAction *quitAction() const { return m_quit; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildMenu();
    void followReleaseChecker();
    void followLoginItem();
    void followHideUnavailable();
    void followBridgeReset();

    Style m_style;
    Services m_services;
    ui::HoverTracker *m_hover;
    ui::AnimatedValue<double> m_tint;
    bool m_keyboardFocus = false;
    QAction *m_about = nullptr;
    QAction *m_updates = nullptr;
    QAction *m_preferences = nullptr;
    QAction *m_startAtLogin = nullptr;
    QAction *m_hideUnavailable = nullptr;
    QAction *m_reset = nullptr;
    QAction *m_quit = nullptr;
};

} // namespace vantora
