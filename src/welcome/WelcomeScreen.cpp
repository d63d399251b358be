#include "welcome/WelcomeScreen.h"

#include "welcome/BridgeChoiceSheet.h"
#include "welcome/BridgeResetControl.h"
#include "welcome/ConnectionScreenView.h"
#include "welcome/ManualAddressSheet.h"
#include "welcome/PillContent.h"
#include "welcome/SheetOverlay.h"
#include "welcome/WelcomeBottomBar.h"
#include "welcome/WelcomeLayout.h"
#include "welcome/WelcomeScreenTexts.h"

#include "onboarding/BridgeOnboarding.h"
#include "store/HalvetStore.h"
#include "ui/ApplicationQuit.h"
#include "ui/FocusHolder.h"
#include "ui/FocusReturn.h"
#include "ui/MessageBoxText.h"
#include "ui/ViewRuntime.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

namespace vantora {

namespace {

using Texts = WelcomeScreenTexts;
using namespace welcomeScreen;

std::optional<BridgeResetControl> offeredReset(const QWidget *screen)
{
    std::optional<BridgeResetControl> control = ui::Environment::of(screen).value(bridgeResetKey);
    if (control && control->isEnabled && control->action)
        return control;
    return std::nullopt;
}

} // namespace

WelcomeScreen::WelcomeScreen(BridgeOnboarding &onboarding, const HalvetStore &store, QWidget *parent)
    : QWidget(parent)
    , m_onboarding(onboarding)
    , m_view(nullptr)
    , m_bottomBar(new WelcomeBottomBar(this))
    , m_addressSheet(new ManualAddressSheet)
    , m_addressOverlay(new SheetOverlay(m_addressSheet, this))
    , m_choiceSheet(new BridgeChoiceSheet)
    , m_choiceOverlay(new SheetOverlay(m_choiceSheet, this))
    , m_updates(ui::ViewRuntime::of(this).resolvedExecutor(), [this] { refresh(); })
{
    ui::makeFocusHolder(*this, tr("Welcome"));
    const Facts now = facts();
    m_view = new ConnectionScreenView(pillState(now), instruction(now), pulse(now.phase),
                                      [this] { performPillAction(); }, this);
    m_view->lower();
    setFixedSize(WelcomeLayout::stageSize);

    const auto invalidate = [this] { m_updates.invalidate(); };
    connect(&m_onboarding, &BridgeOnboarding::phaseChanged, this, invalidate);
    connect(&m_onboarding, &BridgeOnboarding::bridgesChanged, this, invalidate);
    connect(&m_onboarding, &BridgeOnboarding::selectedBridgeChanged, this, invalidate);
    connect(&m_onboarding, &BridgeOnboarding::failureTitleChanged, this, invalidate);
    connect(&m_onboarding, &BridgeOnboarding::failureMessageChanged, this, invalidate);
    connect(&store, &HalvetStore::failureKindChanged, this, invalidate);

    connect(m_bottomBar, &WelcomeBottomBar::pressed, this, [this](BarButton button) { press(button); });
    connect(m_addressSheet, &ManualAddressSheet::connectRequested, this, [this] { connectManualAddress(); });
    connect(m_addressSheet, &ManualAddressSheet::cancelRequested, m_addressOverlay, &SheetOverlay::close);
    connect(m_addressOverlay, &SheetOverlay::dismissRequested, m_addressOverlay, &SheetOverlay::close);
    connect(m_choiceSheet, &BridgeChoiceSheet::bridgeChosen, this,
            [this](const QString &address) { chooseBridge(address); });
    connect(m_choiceSheet, &BridgeChoiceSheet::cancelRequested, m_choiceOverlay, &SheetOverlay::close);
    connect(m_choiceOverlay, &SheetOverlay::dismissRequested, m_choiceOverlay, &SheetOverlay::close);

    refresh();
}

WelcomeScreen::~WelcomeScreen()
{
    if (m_details)
        m_details->deleteLater();
}

Facts WelcomeScreen::facts() const
{
    return {
        .phase = m_onboarding.phase(),
        .selectedBridge = m_onboarding.selectedBridge(),
        .failureLabel = m_onboarding.failureLabel(),
        .isUnexpectedFailure = m_onboarding.isUnexpectedFailure(),
        .hasFailureMessage = !m_onboarding.failureMessage().isEmpty(),
        .offersReset = offeredReset(this).has_value(),
    };
}

void WelcomeScreen::performPillAction()
{
    switch (pillAction(m_onboarding.phase())) {
    case PillAction::Start:
        pairOrUnlock([this] { m_onboarding.start(); });
        return;
    case PillAction::ChooseBridge:
        showBridgeChoice();
        return;
    case PillAction::Retry:
        m_onboarding.retry();
        return;
    case PillAction::Nothing:
        return;
    }
}

void WelcomeScreen::connectManualAddress()
{
    // The onboarding gets the text as typed: it is trimmed and checked where the address is
    // made, and a retry should try exactly what the user typed.
    const QString address = m_addressSheet->address();
    if (!isConnectable(address))
        return;
    // Said where it is corrected, with nothing searched and nothing to try again.
    if (const std::optional<QString> problem = addressProblem(address)) {
        m_addressSheet->showProblem(*problem);
        return;
    }
    m_addressOverlay->close();
    pairOrUnlock([this, address] { m_onboarding.useAddress(address); });
}

void WelcomeScreen::showManualAddress()
{
    m_addressOverlay->open(m_addressSheet->field());
}

void WelcomeScreen::showBridgeChoice()
{
    m_choiceSheet->setBridges(m_onboarding.bridges());
    m_choiceOverlay->open(m_choiceSheet->focusTarget());
}

void WelcomeScreen::showDetails()
{
    if (m_details)
        return;
    auto *box = new QMessageBox(window());
    ui::setPlainMessage(*box, m_onboarding.failureTitle(), m_onboarding.failureMessage());
    QPushButton *ok = box->addButton(Texts::ok(), QMessageBox::RejectRole);
    QPushButton *enterAddress = box->addButton(Texts::enterAddress(), QMessageBox::ActionRole);
    QPushButton *reset = nullptr;
    for (const AlertButton button : detailsButtons(facts())) {
        if (button == AlertButton::ResetConnection)
            reset = box->addButton(Texts::resetConnection(), QMessageBox::ActionRole);
    }
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    ui::returnFocusOnFinish(*box, this);
    connect(box, &QDialog::finished, this, [this, box, enterAddress, reset] {
        if (box->clickedButton() == enterAddress)
            showManualAddress();
        else if (reset && box->clickedButton() == reset)
            resetConnection();
    });
    m_details = box;
    box->open();
}

QMenu *WelcomeScreen::makeContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    for (const MenuEntry entry : contextMenu(facts())) {
        switch (entry) {
        case MenuEntry::CancelPairing:
            menu->addAction(Texts::cancelPairing(), this, [this] { m_onboarding.cancel(); });
            break;
        case MenuEntry::EnterAddress:
            menu->addAction(Texts::enterBridgeAddress(), this, [this] { showManualAddress(); });
            break;
        case MenuEntry::FindBridge:
            menu->addAction(Texts::findBridge(), this, [this] { pairOrUnlock([this] { m_onboarding.start(); }); });
            break;
        case MenuEntry::ConnectionDetails:
            menu->addAction(Texts::connectionDetails(), this, [this] { showDetails(); });
            break;
        case MenuEntry::Divider:
            menu->addSeparator();
            break;
        case MenuEntry::Quit:
            menu->addAction(Texts::quit(), qApp, &ui::quitApplication);
            break;
        }
    }
    return menu;
}

bool WelcomeScreen::showsManualAddress() const
{
    return !m_addressOverlay->isHidden();
}

bool WelcomeScreen::showsBridgeChoice() const
{
    return !m_choiceOverlay->isHidden();
}

bool WelcomeScreen::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType()
        && static_cast<ui::EnvironmentChangeEvent *>(event)->key() == bridgeResetKey.name())
        m_updates.invalidate();
    return QWidget::event(event);
}

void WelcomeScreen::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = makeContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void WelcomeScreen::keyPressEvent(QKeyEvent *event)
{
    // Escape stops an attempt under way; with none, it goes on to the window, which the panel
    // closes on, as on its other pages.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_onboarding.isRunning()) {
        m_onboarding.cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WelcomeScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
    placeBottomBar();
}

void WelcomeScreen::refresh()
{
    const Facts now = facts();
    const QPointer<QWidget> focused = window()->focusWidget();
    const bool screenHadFocus = focused && isAncestorOf(focused);
    // A pill content that leaves takes its focus with it.
    m_view->apply(pillState(now), instruction(now), pulse(now.phase));
    const std::vector<BarButton> bar = welcomeScreen::bottomBar(now);
    const bool barButtonGoes = focused && m_bottomBar->isAncestorOf(focused.data())
        && std::ranges::none_of(bar, [&](BarButton kept) { return m_bottomBar->button(kept) == focused; });
    // A control that goes hands the keyboard to the one that takes its place, wherever that
    // comes in the focus chain: the pill's new button (Pair Bridge again as an attempt is
    // cancelled, Try again as it fails, the bridge choice), else the bar's first (Cancel while
    // an attempt works). Handed on before the old one hides: hidden with the focus, Qt would
    // first move it on along the chain, and a reader would hear that control too. Nothing else
    // moves the focus: a change of phase never takes it from where the person left it.
    const bool focusGoes = screenHadFocus && (barButtonGoes || window()->focusWidget() != focused);
    PillContent *pillContent = m_view->pill()->content();
    QWidget *pillButton = pillContent ? ui::nextTabStop(*pillContent, *pillContent) : nullptr;
    if (focusGoes && pillButton)
        pillButton->setFocus(Qt::OtherFocusReason);
    m_bottomBar->apply(bar);
    if (focusGoes && !pillButton) {
        if (bar.empty())
            ui::focusFirstControl(*this);
        else
            m_bottomBar->button(bar.front())->setFocus(Qt::OtherFocusReason);
    }
    m_choiceSheet->setBridges(m_onboarding.bridges());
    placeBottomBar();
}

void WelcomeScreen::placeBottomBar()
{
    const QSize size = m_bottomBar->sizeHint();
    m_bottomBar->setGeometry((width() - size.width()) / 2, height() - bottomPadding - size.height(), size.width(),
                             size.height());
}

void WelcomeScreen::press(BarButton button)
{
    switch (button) {
    case BarButton::ConnectionHelp:
        showDetails();
        return;
    case BarButton::EnterAddress:
        showManualAddress();
        return;
    case BarButton::ResetConnection:
        resetConnection();
        return;
    case BarButton::Cancel:
        m_onboarding.cancel();
        return;
    }
}

void WelcomeScreen::chooseBridge(const QString &address)
{
    m_choiceOverlay->close();
    m_onboarding.useAddress(address);
}

void WelcomeScreen::pairOrUnlock(std::function<void()> pair)
{
    if (!m_onboarding.savedConnectionIsLocked()) {
        pair();
        return;
    }
    auto *box = new QMessageBox(window());
    box->setIcon(QMessageBox::Question);
    ui::setPlainMessage(*box, Texts::savedConnectionLocked(), Texts::unlockOrReplace());
    QPushButton *unlock = box->addButton(Texts::unlockKeyring(), QMessageBox::AcceptRole);
    QPushButton *pairAgain = box->addButton(Texts::pairAgain(), QMessageBox::DestructiveRole);
    QPushButton *cancel = box->addButton(Texts::cancel(), QMessageBox::RejectRole);
    box->setDefaultButton(unlock);
    box->setEscapeButton(cancel);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    ui::returnFocusOnFinish(*box, this);
    connect(box, &QDialog::finished, this, [this, box, unlock, pairAgain, pair = std::move(pair)] {
        if (box->clickedButton() == unlock)
            m_onboarding.readSavedConnectionAgain();
        else if (box->clickedButton() == pairAgain)
            pair();
    });
    box->open();
}

void WelcomeScreen::resetConnection()
{
    if (const std::optional<BridgeResetControl> control = offeredReset(this))
        control->action();
}

} // namespace vantora
