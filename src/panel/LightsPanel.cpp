#include "panel/LightsPanel.h"

#include "panel/ArrivalPillOverlay.h"
#include "panel/HomeDetailPage.h"
#include "panel/LightsRefreshOutcome.h"
#include "panel/NoLightsFoundView.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelNavigation.h"

#include "welcome/BridgeResetControl.h"
#include "welcome/WelcomeBottomBar.h"
#include "welcome/WelcomeScreen.h"

#include "onboarding/ApplicationBridgeSearch.h"
#include "runtime/UserDefaults.h"
#include "store/HalvetStore.h"
#include "store/RoomFavourites.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/FocusReturn.h"
#include "ui/PanelDragArea.h"
#include "ui/ScreenInfo.h"
#include "ui/SystemFont.h"
#include "ui/Transition.h"
#include "ui/ViewRuntime.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

using namespace std::chrono_literals;

namespace vantora {

namespace {

std::unique_ptr<BridgeOnboarding> ownOnboarding(BridgeOnboarding *given, HalvetStore &store)
{
    if (given)
        return nullptr;
    return std::make_unique<BridgeOnboarding>(store, OnboardingMode::live, OnboardingPreviewResult::lights,
                                              applicationBridgeSearch(SearchSource::localNetwork));
}

// The settings menu's distance from the welcome screen's top and right edges.
constexpr int welcomeMenuMargin = 12;

// Makes `widget` stand aside while another page covers it: invisible, inert and out of the
// accessibility tree, but alive, so its state waits underneath.
void cover(QWidget *widget, bool covered)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->setVisible(!covered);
}

} // namespace

LightsPanel::LightsPanel(HalvetStore &store, BridgeOnboarding *onboarding, PanelNavigation &navigation,
                         runtime::UserDefaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_ownOnboarding(ownOnboarding(onboarding, store))
    , m_onboarding(onboarding ? onboarding : m_ownOnboarding.get())
    , m_navigation(navigation)
    , m_defaults(defaults)
    , m_favourites(new RoomFavourites(defaults, this))
    , m_main(new QWidget(this))
    , m_arrival(new ArrivalPillOverlay(this, *m_onboarding))
    , m_refreshLoop(this, false, [this](bool shouldAutoRefresh) { return runRefreshLoop(shouldAutoRefresh); })
    , m_updates(ui::ViewRuntime::of(this).resolvedExecutor(), [this] { evaluate(); })
{
    setObjectName(QStringLiteral("lights-panel"));
    setFont(ui::systemFont(13));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_main);
    auto *mainLayout = new QVBoxLayout(m_main);
    mainLayout->setContentsMargins(0, 0, 0, 0);

    auto *strip = ui::PanelDragArea::addTopStrip(this);
    strip->setObjectName(QStringLiteral("panel-drag-strip"));

    ui::Environment::scope(this).set(openShortcutsKey, OpenShortcutsAction([this] { showShortcuts(); }));
    ui::FocusedValues::offer(this, focusedOpenShortcutsKey, OpenShortcutsAction([this] { showShortcuts(); }));

    const auto invalidate = [this] { m_updates.invalidate(); };
    for (auto signal : {&HalvetStore::connectionChanged, &HalvetStore::snapshotChanged,
                        &HalvetStore::isRefreshingChanged, &HalvetStore::isManagingConnectionChanged,
                        &HalvetStore::isChangingPowerChanged, &HalvetStore::updatingLightIDsChanged,
                        &HalvetStore::hasVerifiedConnectionChanged, &HalvetStore::needsConnectionRecoveryChanged,
                        &HalvetStore::errorMessageChanged, &HalvetStore::failedLightIDChanged,
                        &HalvetStore::failedLightChangeChanged, &HalvetStore::noticeChanged,
                        &HalvetStore::unexpectedIssueChanged})
        connect(&m_store, signal, this, invalidate);
    for (auto signal : {&BridgeOnboarding::phaseChanged, &BridgeOnboarding::isRecoveringChanged,
                        &BridgeOnboarding::awaitsFirstLightsChanged})
        connect(m_onboarding, signal, this, invalidate);
    connect(m_favourites, &RoomFavourites::selectionsChanged, this, invalidate);
    connect(&m_defaults, &runtime::UserDefaults::changed, this, [this](const QString &key) {
        if (key == hideUnavailableDevicesKey)
            m_updates.invalidate();
    });
    connect(&m_navigation, &PanelNavigation::showsShortcutsChanged, this, [this] { followShortcuts(); });
    connect(m_arrival, &ArrivalPillOverlay::stateChanged, this, invalidate);

    // Any window of the application becoming active, or the application itself.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *window) {
        if (window)
            refreshUnlessWelcomeIsDue();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            refreshUnlessWelcomeIsDue();
    });

    runChangeHandlers(true);
    evaluate();
    followShortcuts();
}

LightsPanel::~LightsPanel() = default;

void LightsPanel::refresh()
{
    if (m_store.needsConnectionRecovery()) {
        m_onboarding->start();
        return;
    }
    perform(refreshLightsAndTell(m_store));
}

void LightsPanel::perform(runtime::Task<void> operation)
{
    tasks().spawn(std::move(operation));
}

void LightsPanel::refreshUnlessWelcomeIsDue()
{
    if (!m_onboarding->showsConnectScreen())
        perform(m_store.refresh());
}

void LightsPanel::showShortcuts()
{
    m_navigation.setShowsShortcuts(true);
}

void LightsPanel::hideShortcuts()
{
    m_navigation.setShowsShortcuts(false);
}

bool LightsPanel::holdsSheetOrAlert() const
{
    // A sheet under the shortcuts page waits there unseen: it holds nothing up meanwhile.
    if (const auto *welcome = qobject_cast<const WelcomeScreen *>(m_pageWidget.data());
        welcome && welcome->isVisible()
        && (welcome->showsManualAddress() || welcome->showsBridgeChoice() || welcome->showsDetails()))
        return true;
    // Alerts (the reset confirmation among them) are dialogs of the panel's window.
    const QWidget *ownWindow = window();
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (top != ownWindow && top->isVisible() && qobject_cast<const QDialog *>(top)
            && top->parentWidget() && top->parentWidget()->window() == ownWindow)
            return true;
    }
    return false;
}

void LightsPanel::setSelectedLightID(std::optional<QString> id)
{
    if (id == m_selectedLightID)
        return;
    m_selectedLightID = std::move(id);
    m_updates.invalidate();
}

std::optional<BridgeOnboarding::Arrival> LightsPanel::arrivalPill() const
{
    return m_arrival->state();
}

bool LightsPanel::hideUnavailable() const
{
    return m_defaults.boolValue(hideUnavailableDevicesKey);
}

HueSnapshot LightsPanel::visibleSnapshot() const
{
    return m_store.snapshot().hidingUnavailable(hideUnavailable());
}

QString LightsPanel::favouritesKey() const
{
    return panelRules::favouritesKey(m_store.isDemo(), m_store.connection());
}

void LightsPanel::updateNow()
{
    evaluate();
}

QSize LightsPanel::sizeHint() const
{
    return m_main->sizeHint();
}

void LightsPanel::evaluate()
{
    runChangeHandlers(false);
    choosePage();
    applyPage();
    updateResetControl();
    m_refreshLoop.setKey(m_store.isConnected() && !m_store.needsConnectionRecovery());
    m_arrival->follow(m_onboarding->arrival());
    m_arrival->setAllowed(!m_navigation.showsShortcuts() && !m_onboarding->showsConnectScreen());
}

void LightsPanel::runChangeHandlers(bool initial)
{
    const QStringList roomIDs = panelRules::roomIDs(m_store.snapshot());
    // An unverified connection may show an empty or stale home, which must never drop favourites.
    if ((initial || roomIDs != m_roomIDs) && m_store.hasVerifiedConnection())
        m_favourites->prune(favouritesKey(), QSet<QString>(roomIDs.begin(), roomIDs.end()));
    m_roomIDs = roomIDs;

    const bool needsRecovery = m_store.needsConnectionRecovery();
    if ((initial || needsRecovery != m_needsRecovery) && needsRecovery) {
        m_selectedLightID.reset();
        m_onboarding->prepareForRecovery();
    }
    m_needsRecovery = needsRecovery;

    const QStringList visibleIDs = panelRules::lightIDs(visibleSnapshot());
    if (!initial && visibleIDs != m_visibleLightIDs && m_selectedLightID && !visibleIDs.contains(*m_selectedLightID))
        m_selectedLightID.reset();
    m_visibleLightIDs = visibleIDs;
}

void LightsPanel::choosePage()
{
    const Page page = panelRules::choosePage(m_onboarding->showsConnectScreen(), visibleSnapshot());
    if (m_pageWidget && page == m_page)
        return;
    m_page = page;
    // The keyboard-shortcuts page leads back to this page, and says so.
    ui::Environment::scope(this).set(ui::backNameKey,
                                     page == Page::welcome ? tr("Back to setup") : tr("Back to lights"));
    // The page that goes may take the focus with it (the welcome screen once paired): the
    // next page's first control gets it rather than nothing. Given before the window is
    // active, it arrives with the window, and no focus ring shows for a pointer's click.
    const QWidget *focused = window()->focusWidget();
    const bool pageHadFocus = !focused || (m_pageFrame && m_pageFrame->isAncestorOf(focused));
    if (m_pageFrame)
        delete m_pageFrame.data();
    makePage(page);
    m_main->layout()->addWidget(m_pageFrame);
    cover(m_pageFrame, m_navigation.showsShortcuts());
    if (pageHadFocus && !m_navigation.showsShortcuts())
        ui::focusFirstControl(*m_pageFrame);
}

void LightsPanel::makePage(Page page)
{
    const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey);
    switch (page) {
    case Page::welcome: {
        auto *welcome = new WelcomeScreen(*m_onboarding, m_store, m_main);
        // The settings menu, as on the other pages: on a desktop without a tray nothing else
        // on screen leads to the shortcuts page and the other settings.
        if (pieces.settingsMenu) {
            QWidget *menu = pieces.settingsMenu(PanelPieces::MenuStyle::plain, welcome);
            menu->adjustSize();
            menu->move(welcome->width() - menu->width() - welcomeMenuMargin, welcomeMenuMargin);
            // Under the sheets, which cover the whole screen while open.
            menu->stackUnder(welcome->bottomBar());
        }
        m_pageWidget = welcome;
        break;
    }
    case Page::lights:
        // The list of rooms and lights places its notice itself.
        m_pageWidget = new HomeDetailPage(m_store, *this, m_main);
        m_pageFrame = m_pageWidget;
        return;
    case Page::noLights:
        m_pageWidget = new NoLightsFoundView({}, [this] { noLightsAction(); }, m_main);
        break;
    }
    m_pageFrame = pieces.errorOverlay ? pieces.errorOverlay(m_pageWidget, m_store) : m_pageWidget.data();
}

void LightsPanel::applyPage()
{
    if (auto *home = qobject_cast<HomeDetailPage *>(m_pageWidget.data())) {
        home->evaluate();
        return;
    }
    if (auto *noLights = qobject_cast<NoLightsFoundView *>(m_pageWidget.data())) {
        const bool hasIssue = m_store.unexpectedIssue().has_value();
        const bool hidden = hideUnavailable() && !m_store.snapshot().lights.empty();
        noLights->apply({
            .isRefreshing = m_store.isWorking(),
            .showsArrivalPill = arrivalPill().has_value(),
            .panelHeight = panelRules::pageHeight(ui::screenInfo::visibleHeight(this)),
            .errorMessage = hasIssue ? std::nullopt : m_store.errorMessage(),
            .hasVerifiedConnection = m_store.hasVerifiedConnection(),
            .hasLoadError = hasIssue,
            .recoveryTitle = tr("Try again"),
            .hasHiddenLights = hidden,
        });
    }
}

void LightsPanel::noLightsAction()
{
    if (hideUnavailable() && !m_store.snapshot().lights.empty()) {
        m_defaults.setBool(hideUnavailableDevicesKey, false);
        return;
    }
    refresh();
}

void LightsPanel::followShortcuts()
{
    const bool shows = m_navigation.showsShortcuts();
    // Noted before the page is covered: Qt moves the focus on from a control it hides.
    if (shows && !m_shortcutsPage) {
        QWidget *focused = window()->focusWidget();
        m_focusBeforeShortcuts = focused && isAncestorOf(focused) ? focused : nullptr;
    }
    if (m_pageFrame)
        cover(m_pageFrame, shows);
    const ui::Animation animation = ui::reduceMotion(this) ? ui::Animation::none() : ui::Animation::easeInOut(0.18);
    const ui::Transition transition = ui::Transition::slide(QPointF(12, 0));
    if (shows && !m_shortcutsPage) {
        const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey);
        if (pieces.shortcutsPage) {
            m_shortcutsPage = pieces.shortcutsPage([this] { hideShortcuts(); }, this);
            m_shortcutsPage->hide();
            placeOverlays();
            ui::transitionIn(m_shortcutsPage, transition, animation);
            ui::focusFirstControl(*m_shortcutsPage);
        }
    } else if (!shows && m_shortcutsPage) {
        QWidget *leaving = m_shortcutsPage;
        m_shortcutsPage = nullptr;
        // Left to Qt, the focus would move on along the focus chain from the page, to
        // whichever control happens to follow it there.
        QWidget *opener = std::exchange(m_focusBeforeShortcuts, nullptr);
        if (m_pageFrame)
            ui::giveFocusBack(*leaving, opener, *m_pageFrame);
        ui::transitionOut(leaving, transition, animation, ui::Departure::Delete);
    }
    m_arrival->setAllowed(!shows && !m_onboarding->showsConnectScreen());
}

void LightsPanel::updateResetControl()
{
    HalvetStore &store = m_store;
    BridgeOnboarding &onboarding = *m_onboarding;
    ui::Environment::scope(this).set(
        bridgeResetKey,
        std::optional<BridgeResetControl>(makeBridgeResetControl(
            bridgeResetConditions(store, onboarding), this, bridgeResetSteps(store, onboarding), tasks())));
}

bool LightsPanel::event(QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest)
        placeOverlays();
    return QWidget::event(event);
}

void LightsPanel::hideEvent(QHideEvent *event)
{
    m_arrival->dismiss();
    QWidget::hideEvent(event);
}

void LightsPanel::resizeEvent(QResizeEvent *event)
{
    placeOverlays();
    QWidget::resizeEvent(event);
}

void LightsPanel::placeOverlays()
{
    if (m_shortcutsPage) {
        m_shortcutsPage->setGeometry(rect());
        m_shortcutsPage->raise();
    }
    m_arrival->place();
}

runtime::TaskScope &LightsPanel::tasks()
{
    if (!m_tasks)
        m_tasks = std::make_unique<runtime::TaskScope>(ui::ViewRuntime::of(this).resolvedExecutor());
    return *m_tasks;
}

runtime::Task<void> LightsPanel::runRefreshLoop(bool shouldAutoRefresh)
{
    if (!shouldAutoRefresh)
        co_return;
    runtime::Clock &clock = ui::ViewRuntime::of(this).resolvedClock();
    while (true) {
        co_await m_store.refresh();
        if (m_store.isDemo())
            co_return;
        // Cancellation (the panel hid, or the key changed) ends the wait by throwing.
        co_await clock.sleepFor(3s);
    }
}

} // namespace vantora
