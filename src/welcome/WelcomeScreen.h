#pragma once

#include "welcome/WelcomeScreenRules.h"

#include "ui/Invalidator.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

class QMenu;

namespace vantora {

class BridgeChoiceSheet;
class BridgeOnboarding;
class ConnectionScreenView;
class HalvetStore;
class ManualAddressSheet;
class SheetOverlay;
class WelcomeBottomBar;

// What the panel shows while there is no usable bridge connection: the onboarding's state as
// one instruction and one action pill on the welcome stage, and every way into and out of
// the first connection: search, choose among several bridges, type an address, cancel a
// running attempt, look at the last failure, reset the saved connection (when the panel's
// bridgeResetKey offers it) and quit.
//
// It only reads the onboarding (and the store's failure kind, which the onboarding's
// failure label follows) and calls the onboarding's actions; it starts nothing by itself.
// Changes are folded into one update per turn of the view runtime's executor. The sheets
// are cards inside the screen and stay open across phase changes until closed; the details
// alert is modal to the panel's window. Escape closes an open sheet, else cancels the
// running attempt (nothing when none runs); the screen takes focus so Escape reaches it.
// The onboarding and the store must outlive the screen.
class WelcomeScreen final : public QWidget {
    Q_OBJECT
public:
    // The bottom bar's distance from the bottom edge.
    static constexpr int bottomPadding = 24;

    WelcomeScreen(BridgeOnboarding &onboarding, const HalvetStore &store, QWidget *parent = nullptr);
    ~WelcomeScreen() override;

    welcomeScreen::Facts facts() const;

    // What a press on the pill does, decided by the phase at the moment of the press.
    void performPillAction();
    // Connects to the typed address, as typed, and closes its sheet, unless nothing but
    // white space was typed; text that is no IP address stays in the open sheet, which says
    // what is wrong.
    void connectManualAddress();
    void showManualAddress();
    void showBridgeChoice();
    void showDetails();
    // A menu of the screen's commands for the current phase, owned by `parent`.
    QMenu *makeContextMenu(QWidget *parent);

    bool showsManualAddress() const;
    bool showsBridgeChoice() const;
    bool showsDetails() const { return !m_details.isNull(); }

    ConnectionScreenView *view() const noexcept { return m_view; }
    WelcomeBottomBar *bottomBar() const noexcept { return m_bottomBar; }
    ManualAddressSheet *manualAddressSheet() const noexcept { return m_addressSheet; }
    BridgeChoiceSheet *bridgeChoiceSheet() const noexcept { return m_choiceSheet; }
    QMessageBox *detailsAlert() const { return m_details; }

protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void placeBottomBar();
    void press(welcomeScreen::BarButton button);
    void chooseBridge(const QString &address);
    // Runs `pair`, unless a saved connection is locked in the keyring: then asks first whether
    // to unlock the keyring and use it, or to pair anew and replace it.
    void pairOrUnlock(std::function<void()> pair);
    void resetConnection();

    BridgeOnboarding &m_onboarding;
    ConnectionScreenView *m_view;
    WelcomeBottomBar *m_bottomBar;
    ManualAddressSheet *m_addressSheet;
    SheetOverlay *m_addressOverlay;
    BridgeChoiceSheet *m_choiceSheet;
    SheetOverlay *m_choiceOverlay;
    QPointer<QMessageBox> m_details;
    // Last: a pending update goes before the widgets it touches.
    ui::Invalidator m_updates;
};

} // namespace vantora
