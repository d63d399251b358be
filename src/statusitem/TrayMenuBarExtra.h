#pragma once

#include "runtime/Clock.h"
#include "statusitem/StatusItemObjects.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace vantora::statusitem {

class PanelWindow;

// The application's tray item and its panel, exposed through the object model so that the
// lookups find them: a tray item whose button's click shows or hides the panel, a tray
// window that holds the item (present even when no tray host shows the icon, so the
// panel's shown state still works through the global shortcut and a second launch), and the
// panel window, which reports becoming and ceasing to be the active window.
//
// A click on the tray icon toggles the panel as it finds it: open, it closes; closed,
// however it went, it opens. The click that takes the activation from the open panel still
// finds it open: an X11 tray's icon is our own window, whose press comes in the X server's
// stream right after the focus went, before the toolkit reports the loss (it first waits for
// the focus to come back); hosts that show items over D-Bus call as they take the press, and
// GNOME's and LXQt's take no focus for it. The icon is either the toolkit's in an X11 tray,
// or one shown over D-Bus by another object, which hands its clicks over with the point the
// host names. Main thread only; the application and the panel must outlive this object.
class TrayMenuBarExtra final : public QObject {
    Q_OBJECT
public:
    TrayMenuBarExtra(PlatformApplication &application, PanelWindow &panel, const QString &toolTip,
                     runtime::Clock &clock = runtime::systemClock(), QObject *parent = nullptr);
    ~TrayMenuBarExtra() override;

    const std::shared_ptr<StatusItem> &statusItem() const noexcept { return m_item; }

    // The icon for an X11 tray, made on the first call (not before: see the .cpp), hidden
    // until shown.
    QSystemTrayIcon &xembedIcon();
    // Shows or hides the icon in an X11 tray; hiding makes none.
    void setXEmbedIconShown(bool shown);

    // A click on the tray icon; `at` is where the tray says it was, when it says.
    void iconClicked(std::optional<QPoint> at);

    // Where the tray shows the icon, when it tells.
    std::optional<QRect> trayIconGeometry() const;

    // Offered on the X11 tray icon's context (right) click; its showing and hiding there is
    // the host's menu opening and closing.
    void setContextMenu(QMenu *menu);
    // The tray host tells that it shows the icon's menu, or no longer does.
    void hostMenuShownChanged(bool shown);
    // A command is showing the panel, or a page of it. Chosen in the host's menu while the
    // host still shows it, the command's showing waits for the host to say its menu closed:
    // the menu, as it goes, takes the activation (waybar's on sway), which would otherwise
    // go from the panel just shown. A panel open at the command stays up through that loss,
    // and asks for the activation back once the menu closed. Nothing waits for a command
    // chosen after the menu closed (a toolkit's menu closes before its entry runs), nor once
    // the icon is clicked or the panel hidden meanwhile.
    void commandShowsPanel();
    // The X time of the key press that is about to open the panel.
    void setPendingUserTime(quint32 time) { m_pendingUserTime = time; }

    // Whether a tray host can show the icon now; asked again on every trayHostsChanged().
    // When none is set, the toolkit's own answer counts.
    void setTrayHostCheck(std::function<bool()> check) { m_trayHostCheck = std::move(check); }
    // Gives a tray that starts with the session `startWait` to come (no wait when a tray
    // host is there already), then follows the desktop's tray for the rest of the run: while
    // a tray host shows the icon, the panel opens beside it and closes when it loses the
    // focus; while none does, the panel is an ordinary window, shown at once, since nothing
    // else on screen leads to it.
    runtime::Task<void> followTrayHost(runtime::Duration startWait);
    // A tray host came or went.
    void trayHostsChanged();
    // Whether another window of the application stands for the panel (the welcome window of
    // a first start): with no tray, the panel then stays hidden rather than come up as a
    // second window of the same.
    void setStandIn(std::function<bool()> standsIn) { m_standsIn = std::move(standsIn); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class ExtraController;
    class TrayWindow;
    class ExtraWindow;

    void togglePanel();
    void endCommandWait();
    void present();
    bool hasTrayHost() const;
    void applyTrayHost();
    QPoint placement();

    PlatformApplication &m_application;
    PanelWindow &m_panel;
    runtime::Clock &m_clock;
    QString m_toolTip;
    QMenu *m_contextMenu = nullptr;
    QSystemTrayIcon *m_xembedIcon = nullptr;
    std::shared_ptr<StatusItem> m_item;
    std::shared_ptr<TrayWindow> m_trayWindow;
    std::shared_ptr<ExtraWindow> m_extraWindow;
    std::optional<QRect> m_lastAnchor;
    // What the open panel was placed by, to place it again when its size changes.
    struct Placement {
        QRect anchor;
        QRect available;
        QPoint placedAt;
    };
    std::optional<Placement> m_placement;
    bool m_hostMenuShown = false;
    // A command chosen in the host's shown menu waits for the menu to close.
    bool m_commandAwaitsMenu = false;
    // What then happens when it closes: the panel, asked for meanwhile, shows; the open
    // panel, which lost the activation to the menu, asks for it back.
    bool m_opensAfterMenu = false;
    bool m_lostActivationToMenu = false;
    std::optional<quint32> m_pendingUserTime;
    std::function<bool()> m_trayHostCheck;
    std::function<bool()> m_standsIn;
    bool m_followsTrayHost = false;
};

} // namespace vantora::statusitem
