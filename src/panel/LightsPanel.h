#pragma once

#include "panel/PanelRules.h"

#include "onboarding/BridgeOnboarding.h"
#include "runtime/TaskScope.h"
#include "ui/Invalidator.h"
#include "ui/KeyedViewTask.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace vantora {

class ArrivalPillOverlay;
class HalvetStore;
class PanelNavigation;
class RoomFavourites;

namespace runtime {
class UserDefaults;
}

// The root of the lights panel. It chooses the page (the welcome screen while onboarding is
// needed, else the rooms and lights with a light's page over them, else the no-lights page),
// lays the keyboard-shortcuts page over it when the navigation asks, keeps the store's
// lights fresh while it is shown, shows the arrival pill after a first pairing and offers
// the pages the reset control and the open-shortcuts action through the environment.
//
// It refreshes at once when shown and then 3 s after each refresh, while the store is
// connected and needs no recovery (the demonstration store once per showing); hidden, it
// runs no timer. Any window of the application becoming active, or the application itself,
// refreshes too, unless the welcome screen is due.
//
// A page keeps its widgets, and with them the user's scroll position, hover, open popups
// and edits, for as long as the page stays chosen; store changes update it in place, folded
// into one update per turn of the view runtime's executor.
//
// The panel is exactly as large as its page and resizes itself when the page changes. Pages
// read the pieces of the layers above (PanelPieces), the room brightness style and the toggle
// appearance from the environment when they are built: set them on the scope of the panel's
// window (or the application's root scope) and create the panel inside that window.
//
// The store, the navigation and the defaults must outlive the panel. Without an onboarding
// the panel makes its own over the store, searching the local network.
class LightsPanel final : public QWidget {
    Q_OBJECT
public:
    using Page = panelRules::Page;

    LightsPanel(HalvetStore &store, BridgeOnboarding *onboarding, PanelNavigation &navigation,
                runtime::UserDefaults &defaults, QWidget *parent = nullptr);
    ~LightsPanel() override;

    Page page() const noexcept { return m_page; }
    QWidget *pageWidget() const noexcept { return m_pageWidget; }
    QWidget *shortcutsPage() const { return m_shortcutsPage; }

    // Refreshes the lights as the person asked (telling what came of it), or looks for the
    // bridge again when the connection needs recovery.
    void refresh();
    // Runs a store operation as a task of the panel, which outlives the page that asked for
    // it; nobody waits for it, and the store records how it ended.
    void perform(runtime::Task<void> operation);
    void showShortcuts();
    void hideShortcuts();

    // Whether a sheet or an alert of the panel is open: the panel's window must then stay
    // up when it loses the focus (to that alert, or to a file dialog the sheet opened).
    bool holdsSheetOrAlert() const;

    BridgeOnboarding &onboarding() const noexcept { return *m_onboarding; }
    RoomFavourites &favourites() const noexcept { return *m_favourites; }
    const std::optional<QString> &selectedLightID() const noexcept { return m_selectedLightID; }
    void setSelectedLightID(std::optional<QString> id);
    // The pill's state on screen; none when no pill shows.
    std::optional<BridgeOnboarding::Arrival> arrivalPill() const;
    bool hideUnavailable() const;
    // The store's snapshot as the panel shows it: without unreachable lights while they are
    // hidden.
    HueSnapshot visibleSnapshot() const;
    QString favouritesKey() const;

    // Applies pending store changes now instead of on the next turn.
    void updateNow();

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void evaluate();
    void choosePage();
    void makePage(Page page);
    void applyPage();
    void followShortcuts();
    void runChangeHandlers(bool initial);
    void noLightsAction();
    void updateResetControl();
    void placeOverlays();
    runtime::TaskScope &tasks();
    void refreshUnlessWelcomeIsDue();
    runtime::Task<void> runRefreshLoop(bool shouldAutoRefresh);

    HalvetStore &m_store;
    std::unique_ptr<BridgeOnboarding> m_ownOnboarding;
    BridgeOnboarding *m_onboarding;
    PanelNavigation &m_navigation;
    runtime::UserDefaults &m_defaults;
    RoomFavourites *m_favourites;

    std::optional<QString> m_selectedLightID;
    Page m_page = Page::welcome;
    QWidget *m_main;
    QPointer<QWidget> m_pageWidget;
    // The page as placed: the page itself, or the error overlay that holds it.
    QPointer<QWidget> m_pageFrame;
    QPointer<QWidget> m_shortcutsPage;
    // The control the shortcuts page took the focus from, given it back when the page goes.
    QPointer<QWidget> m_focusBeforeShortcuts;
    ArrivalPillOverlay *m_arrival;

    // What the change handlers compare against.
    QStringList m_roomIDs;
    QStringList m_visibleLightIDs;
    bool m_needsRecovery = false;

    ui::KeyedViewTask<bool> m_refreshLoop;
    std::unique_ptr<runtime::TaskScope> m_tasks;
    // Last: a pending update goes before the widgets it touches.
    ui::Invalidator m_updates;
};

} // namespace vantora
