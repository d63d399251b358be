#include "app/HalvetApp.h"

#include "app/AllLightsToggle.h"
#include "app/AppCommands.h"
#include "app/AppStore.h"
#include "app/AppWindow.h"
#include "app/AppWindows.h"
#include "app/DemonstrationScale.h"
#include "app/EscapeMinimises.h"
#include "app/FocusedShortcuts.h"
#include "app/PanelHost.h"
#include "app/SingleInstance.h"
#include "app/WindowlessQuit.h"
#include "bridge/ServiceFactories.h"
#include "controls/LightToggleArtwork.h"
#include "controls/RoomBrightnessPreview.h"
#include "onboarding/PreviewConnectionStorage.h"
#include "panel/FooterMotionPreview.h"
#include "panel/LightsPanel.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelNavigation.h"
#include "recorder/ApplicationShortcuts.h"
#include "recorder/DesktopShortcutNames.h"
#include "recorder/GlobalShortcutsView.h"
#include "recorder/RecorderAlerts.h"
#include "recorder/RecorderServices.h"
#include "settings/AboutView.h"
#include "settings/Alert.h"
#include "settings/AppSettingsMenu.h"
#include "settings/AppErrorOverlay.h"
#include "settings/AppIssueNotice.h"
#include "settings/ReleaseChecker.h"
#include "app/TrayIconImage.h"
#include "app/TrayIconTint.h"
#include "onboarding/ApplicationBridgeSearch.h"
#include "onboarding/BridgeOnboarding.h"
#include "platform/keyring/SecretServiceWatch.h"
#include "platform/TrayHostWatch.h"
#include "platform/HotKeyHandover.h"
#include "platform/portal/PortalHotKeys.h"
#include "platform/gnome/ShellQuitAction.h"
#include "vantora/BuildInfo.h"
#include "platform/x11/X11HotKeys.h"
#include "platform/x11/X11FocusGrabs.h"
#include "platform/x11/X11TransientFor.h"
#include "platform/x11/X11WindowActivation.h"
#include "platform/x11/XkbKeyboardLayout.h"
#include "runtime/Errors.h"
#include "runtime/NotificationCenter.h"
#include "runtime/UserDefaults.h"
#include "shortcuts/DeclinedShortcuts.h"
#include "shortcuts/DesktopChosenShortcuts.h"
#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutStorage.h"
#include "statusitem/PanelWindow.h"
#include "statusitem/StatusItemAccess.h"
#include "statusitem/StatusNotifierItem.h"
#include "statusitem/TrayMenuBarExtra.h"
#include "store/HalvetStore.h"
#include "store/ToggleAppearance.h"
#include "ui/ApplicationQuit.h"
#include "ui/Appearance.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ModalParent.h"
#include "ui/PortalDesktopSettings.h"
#include "ui/KeyboardConventions.h"
#include "ui/WindowPalettes.h"
#include "welcome/BridgeResetControl.h"

#include <QApplication>
#include <QDBusConnection>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QProcessEnvironment>
#include <QPlatformSurfaceEvent>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>

using namespace std::chrono_literals;

namespace vantora {

namespace {

// The panel's index among the application's tray items: it has one.
constexpr int panelIndex = 0;
constexpr auto menuPreviewDelay = 300ms;

// The windows a person takes for the application's own, which the shell's application menu
// belongs to; not its menus, tooltips, or the panel beside a tray icon.
bool offersShellQuit(const QWindow &window)
{
    const Qt::WindowType type = window.type();
    return !window.parent() && (type == Qt::Window || type == Qt::Dialog)
        && !window.flags().testFlag(Qt::BypassWindowManagerHint);
}

// The X11 window the window system shows for `window` now. A new presentation of the panel
// (beside a tray icon or as an ordinary window) gives it a new one, which only its QWindow knows.
quint32 x11Window(const QWidget &window)
{
    return quint32(window.windowHandle() ? window.windowHandle()->winId() : window.winId());
}

void bringToFront(QWidget &window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

} // namespace

HalvetApp::HalvetApp(LaunchFlags flags, runtime::UserDefaults &defaults, HotKeys hotKeys, QObject *parent)
    : QObject(parent)
    , m_flags(flags)
    , m_plan(planLaunch(flags))
    , m_defaults(defaults)
    , m_desktopSettings(std::make_unique<ui::PortalDesktopSettings>())
    , m_appearance(new ui::Appearance(ui::Environment::root(), m_desktopSettings.get(),
                                      ui::AppearanceOverrides::fromProcessEnvironment(QProcessEnvironment::systemEnvironment()),
                                      this))
    , m_windowPalettes(new ui::WindowPalettes(this))
    // Before any view draws a toggle.
    , m_toggleAppearance(new ToggleAppearance(defaults, this))
    , m_store(makeAppStore(m_plan))
    , m_onboarding(std::make_unique<BridgeOnboarding>(*m_store, m_plan.onboardingMode, m_plan.previewResult,
                                                      applicationBridgeSearch(m_plan.searchSource)))
    , m_sessionRecovery(defaults, m_plan.sessionTracking,
                        QDir(SingleInstance::runtimeFolder())
                            .filePath(QLatin1String(buildinfo::applicationId) + QStringLiteral(".ended")))
    , m_navigation(new PanelNavigation(this))
    , m_panel(std::make_unique<statusitem::PanelWindow>())
{
    if (m_plan.store == LaunchPlan::Store::live) {
        // What the person can mend is said where start-up troubles are said, as well as on the
        // panel: at launch, and whenever it comes later.
        const auto tellInTerminal = [this] {
            if (const auto &issue = m_store->unexpectedIssue(); issue && issue->explanation)
                std::fprintf(stderr, "vantora: %s\n", qUtf8Printable(*issue->explanation));
        };
        tellInTerminal();
        connect(m_store.get(), &HalvetStore::unexpectedIssueChanged, this, tellInTerminal);
        m_keyringWatch = std::make_unique<platform::SecretServiceWatch>();
        connect(m_keyringWatch.get(), &platform::SecretServiceWatch::appeared, this,
                [this] { readSavedConnectionAgain(); });
        connect(m_keyringWatch.get(), &platform::SecretServiceWatch::unlocked, this,
                [this] { readSavedConnectionAgain(); });
    }
    // Said once, over the window where the person changed something.
    connect(&m_defaults, &runtime::UserDefaults::cannotBeKept, this, [](const QString &why) {
        showAlert(MessageBoxAlerts::shared(), QApplication::activeWindow(), tr("Settings can’t be saved"), why);
    });
    ui::KeyboardConventions::install();
    m_navigation->setShowsShortcuts(m_plan.startsOnShortcuts);
    // Before the first page: the shortcuts page names where the panel opens, a tray or a window.
    m_trayHosts = std::make_unique<platform::TrayHostWatch>();
    // Toggles without a colour of their own draw in the one the user chose.
    ui::Environment::root().set(toggleAppearanceKey, QPointer<ToggleAppearance>(m_toggleAppearance));
    setUpGlobalShortcuts(hotKeys);
    // Every lights panel of the application, in the tray's window or in any other, gets the
    // settings menu, the shortcuts page and the error banner.
    ui::Environment::root().set(panelPiecesKey, panelPieces());
    m_panel->setContent(makePanelContent(*m_panel, *m_navigation, std::nullopt));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // With no tray, the shell's own Quit is the one a person finds first.
        const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        m_shellQuit = std::make_unique<platform::ShellQuitAction>(
            [] { QMetaObject::invokeMethod(qApp, ui::quitApplication, Qt::QueuedConnection); },
            x11 ? x11->connection() : nullptr);
        qApp->installEventFilter(this);
        m_windowActivation = std::make_unique<platform::X11WindowActivation>();
        m_focusGrabs = std::make_unique<platform::X11FocusGrabs>();
        m_panel->setFocusHeldByGrab([this] { return m_focusGrabs->focusHeldByGrab(x11Window(*m_panel)); });
        connect(m_focusGrabs.get(), &platform::X11FocusGrabs::focusLeft, this, [this](quint32 window) {
            if (m_panel && window == x11Window(*m_panel))
                m_panel->focusLeftDuringGrab();
        });
        // The key that ends the grab may be the one that hides the panel: it is read first.
        m_focusGrabs->setGoingAway([this](quint32 window) {
            if (m_x11HotKeys)
                m_x11HotKeys->readPendingKeys();
            return m_panel && window == x11Window(*m_panel) && m_panel->isShown() && !m_isPanelPresented.value();
        });
        // Once the toolkit has taken the same focus in: it may have seen no change.
        connect(
            m_focusGrabs.get(), &platform::X11FocusGrabs::focusArrived, this,
            [this](quint32 window) {
                if (m_panel && window == x11Window(*m_panel))
                    m_panel->keyboardFocusArrived();
            },
            Qt::QueuedConnection);
        m_panel->setActivator([this](QWidget &window, std::optional<quint32> userTime) {
            window.activateWindow();
            if (userTime)
                m_windowActivation->activate(x11Window(window), *userTime);
        });
        m_panel->setDialogTie([x11](QWidget &dialog, QWidget &window) {
            platform::setTransientFor(x11 ? x11->connection() : nullptr, x11Window(dialog), x11Window(window));
        });
        m_panel->setTaskbarListing([this](QWidget &window, statusitem::PanelWindow::Presentation presentation) {
            m_windowActivation->setListing(x11Window(window),
                                           presentation == statusitem::PanelWindow::Presentation::besideTrayIcon
                                               ? platform::X11WindowActivation::Listing::outOfTaskbars
                                               : platform::X11WindowActivation::Listing::inTaskbars);
        });
    }

    m_commands = std::make_unique<AppCommands>(*m_store, *m_onboarding, *m_navigation, m_isPanelPresented,
                                 AppCommands::Hooks{.about = [this] { showAbout(); },
                                  .checkForUpdates = [this] { ReleaseChecker::shared().check(m_panel.get()); },
                                  .resetConnection = [this] { confirmBridgeReset(); },
                                  .panelShowsCommand = [this] { m_extra->commandShowsPanel(); }},
                                 runtime::mainExecutor());
    m_commands->addShortcutsTo(m_panel.get());

    m_extra = std::make_unique<statusitem::TrayMenuBarExtra>(m_platformApplication, *m_panel, QStringLiteral("vantora"),
                                                             runtime::systemClock());
    m_extra->setTrayHostCheck([this] { return m_trayHosts->anyHost(); });
    connect(m_trayHosts.get(), &platform::TrayHostWatch::changed, this, [this] {
        showTrayIcon();
        m_extra->trayHostsChanged();
    });
    // An alert with no shown window to go with stands in the middle of the tray icon's screen.
    ui::setLoneDialogScreen([this] {
        const std::optional<QRect> icon = m_extra->trayIconGeometry();
        return QGuiApplication::screenAt(icon ? icon->center() : QCursor::pos());
    });
    m_trayMenu = m_commands->makeMenu(m_panel.get());
    m_extra->setContextMenu(m_trayMenu);
    addTrayIconSearchPath();
    const QString iconName = trayIconThemeName();
    m_statusNotifierItem = std::make_unique<statusitem::StatusNotifierItem>(
        statusitem::StatusNotifierItem::Description{
            .id = QStringLiteral("vantora"),
            .title = QStringLiteral("vantora"),
            .toolTip = QStringLiteral("vantora"),
            .icon = {.name = QIcon::hasThemeIcon(iconName) ? iconName : QString(),
                     .themePath = trayIconThemeFolder(),
                     .pixmaps = outlinedTrayIconImages()},
        },
        *m_trayMenu);
    connect(m_statusNotifierItem.get(), &statusitem::StatusNotifierItem::activated, m_extra.get(),
            [this](QPoint at) { m_extra->iconClicked(at); });
    connect(m_statusNotifierItem.get(), &statusitem::StatusNotifierItem::menuShownChanged, m_extra.get(),
            &statusitem::TrayMenuBarExtra::hostMenuShownChanged);
    m_statusItemAccess = std::make_unique<statusitem::StatusItemAccess>(
        m_platformApplication, panelIndex, m_isPanelPresented, m_isStatusItemEnabled,
        statusitem::StatusItemAccess::Introspection{}, runtime::systemClock(), runtime::mainExecutor());
    setUpWindows();
    // Without a tray, one window of the application at a time: the welcome window of a first
    // start is the panel until it is closed.
    m_extra->setStandIn([this] { return panelStandIn() != nullptr; });
    // Without a tray, the last window closed ends the application: nothing else would show
    // that it runs, nor offer to end it.
    m_windowlessQuit = std::make_unique<WindowlessQuit>([this] { return m_trayHosts->anyHost(); }, ui::quitApplication);

    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { endSession(); });
}

HalvetApp::~HalvetApp()
{
    ui::setLoneDialogScreen({});
    qApp->removeEventFilter(this);
}

bool HalvetApp::eventFilter(QObject *watched, QEvent *event)
{
    // A window's X11 window is made before it is mapped, which is when the shell reads it.
    if (event->type() == QEvent::PlatformSurface
        && static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated) {
        if (auto *window = qobject_cast<QWindow *>(watched); window && offersShellQuit(*window) && m_shellQuit)
            m_shellQuit->offerOn(quint32(window->winId()));
    }
    return QObject::eventFilter(watched, event);
}

void HalvetApp::showTrayIcon()
{
    // Where a host shows items over D-Bus, our own item is there (it offers itself to every
    // host that comes) and says where it was clicked; an X11 tray gets the toolkit's icon.
    const bool inXEmbedTray = m_trayHosts->xembedTray() && !m_trayHosts->statusNotifierWatcher();
    if (inXEmbedTray && !m_trayIconTint)
        m_trayIconTint = std::make_unique<TrayIconTint>(m_extra->xembedIcon());
    m_extra->setXEmbedIconShown(inXEmbedTray);
}

void HalvetApp::start()
{
    showTrayIcon();
    QMetaObject::invokeMethod(this, [this] { runLaunchTask(); }, Qt::QueuedConnection);
}

void HalvetApp::followTrayHost()
{
    // Without a tray (a desktop without one, such as plain GNOME) the panel becomes an
    // ordinary window at once, reached again by the shortcut or another launch, unless the
    // launch's own window stands for it; a tray that comes later takes it back.
    m_tasks.spawn([](HalvetApp *self) -> runtime::Task<void> {
        co_await self->m_extra->followTrayHost(runtime::Duration::zero());
        self->m_followsTrayHost = true;
        if (std::exchange(self->m_panelAskedEarly, false))
            self->showPanel();
    }(this));
}

void HalvetApp::showPanel()
{
    if (QWidget *standIn = panelStandIn()) {
        bringToFront(*standIn);
        return;
    }
    // Shown now, the panel would come beside a tray icon that may not be there, then turn
    // into a window: it shows once it knows which it is.
    if (!m_followsTrayHost) {
        m_panelAskedEarly = true;
        return;
    }
    if (m_isPanelPresented.value() && m_panel->isShown()) {
        bringToFront(*m_panel);
        return;
    }
    m_isPanelPresented.set(true);
}

void HalvetApp::launchedAgain()
{
    readSavedConnectionAgain();
    showPanel();
}

void HalvetApp::readSavedConnectionAgain()
{
    // A pairing the keyring did not take goes on as soon as the keyring answers: the store
    // saves it with the key the bridge gave, then shows the lights.
    if (m_store->hasUnsavedPairing())
        m_onboarding->retry();
    m_tasks.spawn([](HalvetApp *self) -> runtime::Task<void> {
        if (!co_await self->m_store->readSavedConnectionAgain())
            co_return;
        std::fputs(self->m_store->connection() ? "vantora: the keyring answers now; the saved connection was read.\n"
                                               : "vantora: the keyring answers now; no Bridge is saved there yet.\n",
                   stderr);
    }(this));
}

QWidget *HalvetApp::panelStandIn() const
{
    // Beside a tray the panel opens by its icon, as ever.
    if (m_trayHosts->anyHost())
        return nullptr;
    for (const AppWindow id : {AppWindow::welcome, AppWindow::preview, AppWindow::emptyPreview}) {
        if (QWidget *window = m_windows->window(id); window && window->isVisible())
            return window;
    }
    return nullptr;
}

bool HalvetApp::standsInWithLights(const QWidget &window) const
{
    return panelStandIn() == &window && !m_onboarding->showsConnectScreen();
}

void HalvetApp::runLaunchTask()
{
    if (m_didLaunch.value())
        return;
    m_didLaunch.set(true);
    onLaunch();
    m_tasks.spawn([](HalvetApp *self) -> runtime::Task<void> {
        // Which window the launch opens depends on what is saved. Without a tray to put the
        // icon in, the person sees the application in its welcome window meanwhile, which
        // awaits the saved connection before it offers anything.
        if (self->m_store->awaitsSavedConnection()) {
            if (!self->m_trayHosts->anyHost())
                self->m_windows->open(AppWindow::welcome);
            co_await self->m_store->readSavedConnectionAgain();
        }
        if (auto issue = self->m_sessionRecovery.begin())
            self->m_store->setUnexpectedIssue(std::move(issue));
        if (const auto window = launchWindow(self->m_flags, self->m_store->isConnected(),
                                             self->m_store->unexpectedIssue().has_value()))
            self->m_windows->open(*window);
        self->followTrayHost();
    }(this));
}

void HalvetApp::onLaunch()
{
    if (m_flags.has(LaunchFlag::menuPreview)) {
        m_tasks.spawn([](HalvetApp *self) -> runtime::Task<void> {
            try {
                co_await runtime::systemClock().sleepFor(menuPreviewDelay);
            } catch (const runtime::CancellationError &) {
            }
            self->m_panel->activateWindow();
            self->m_isPanelPresented.set(true);
        }(this));
    }
    registerGlobalShortcuts();
}

void HalvetApp::setUpGlobalShortcuts(HotKeys hotKeys)
{
    m_keyboardLayout = platform::XkbKeyboardLayout::fromDisplay();
    auto &notifications = runtime::NotificationCenter::defaultCenter();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    auto x11 = std::make_unique<platform::X11HotKeys>();
    m_x11HotKeys = x11.get();
    // Said in the log, for whoever asks why a shortcut does not fire.
    if (hotKeys == HotKeys::desktopPortalFirst && bus.isConnected()) {
        // The portal may be slow to come at login, exactly when an app started then comes up:
        // the start does not wait for it, and the grabs it takes meanwhile go to the portal
        // once it answers.
        auto handover = std::make_unique<platform::HotKeyHandover>(std::move(x11));
        const auto toPortal = [this, handover = handover.get(), &notifications] {
            m_x11HotKeys = nullptr;
            // A connection of the shortcuts' own, where our id goes before any other portal call.
            const QDBusConnection shortcutsBus =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("vantora shortcuts"));
            handover->handOver(std::make_unique<platform::PortalHotKeys>(
                shortcutsBus, *m_keyboardLayout, notifications, m_defaults, QString::fromLatin1(buildinfo::applicationId),
                [this](quint32 carbonKeyCode, quint32 carbonModifiers) {
                    return recorder::desktopShortcutName(*m_shortcutStorage, carbonKeyCode, carbonModifiers);
                },
                platform::portalDesktopOf(QProcessEnvironment::systemEnvironment())));
            // The keys the grabs refused (no X server, another X client holding them) go to the portal too.
            if (m_shortcutActions)
                m_shortcutActions->registerMissingHotKeys();
            qInfo("vantora: global shortcuts go through the desktop's shortcut portal");
        };
        platform::PortalHotKeys::whenOffered(bus, this, toPortal);
        m_hotKeyBackend = std::move(handover);
        qInfo("vantora: global shortcuts are X11 key grabs, which fire only while an X11 window has the focus, "
              "until the desktop's shortcut portal answers");
    } else {
        m_hotKeyBackend = std::move(x11);
        qInfo("vantora: global shortcuts are X11 key grabs");
    }
    m_hotKeyCenter = std::make_unique<GlobalShortcuts::HotKeyCenter>(*m_hotKeyBackend, *m_keyboardLayout, notifications);
    m_shortcutStorage = std::make_unique<GlobalShortcuts::ShortcutStorage>(m_defaults, notifications);
    m_shortcutActions = std::make_unique<GlobalShortcuts::ShortcutActions>(*m_hotKeyCenter, *m_shortcutStorage);
    m_declinedShortcuts =
        std::make_unique<GlobalShortcuts::DeclinedShortcuts>(*m_hotKeyCenter, *m_shortcutStorage, notifications);
    m_desktopChosenShortcuts = std::make_unique<GlobalShortcuts::DesktopChosenShortcuts>(
        *m_hotKeyCenter, *m_shortcutStorage, *m_keyboardLayout, notifications);
    m_recorderAlerts = std::make_unique<recorder::MessageBoxRecorderAlerts>();
    m_recorderServices = std::make_unique<recorder::RecorderServices>(recorder::RecorderServices{
        .storage = *m_shortcutStorage,
        .actions = *m_shortcutActions,
        .centre = *m_hotKeyCenter,
        .layout = *m_keyboardLayout,
        .notifications = notifications,
        .alerts = *m_recorderAlerts,
        // A recorded shortcut must not take a command's keys (Ctrl+, Ctrl+R Ctrl+Q).
        .applicationMenu = [this]() -> const QMenu * { return m_trayMenu; },
        .beep = [] { QApplication::beep(); },
    });
}

void HalvetApp::registerGlobalShortcuts()
{
    m_shortcutActions->onKeyUp(GlobalShortcuts::showVantora(), [this] { togglePanel(); });
    m_shortcutActions->onKeyUp(GlobalShortcuts::toggleHomeLights(), [this] { toggleAllLights(); });
}

PanelPieces HalvetApp::panelPieces()
{
    PanelPieces pieces;
    pieces.settingsMenu = [this](PanelPieces::MenuStyle style, QWidget *parent) -> QWidget * {
        auto services = AppSettingsMenu::Services::application(m_defaults, [](const QWidget &menu) {
            if (const auto &open = ui::Environment::of(&menu).value(openShortcutsKey))
                open();
        });
        services.showAbout = [this] { showAbout(); };
                const auto menuStyle =
            style == PanelPieces::MenuStyle::pill ? AppSettingsMenu::Style::pill : AppSettingsMenu::Style::plain;
        return new AppSettingsMenu(menuStyle, std::move(services), parent);
    };
    pieces.shortcutsPage = [this](std::function<void()> back, QWidget *parent) -> QWidget * {
        using PanelPlace = recorder::GlobalShortcutsView::PanelPlace;
        return new recorder::GlobalShortcutsView(*m_recorderServices, *m_toggleAppearance, std::move(back),
                                                 !m_x11HotKeys || m_x11HotKeys->isAvailable(),
                                                 m_trayHosts->anyHost() ? PanelPlace::trayIcon : PanelPlace::window,
                                                 parent);
    };
    pieces.errorOverlay = [](QWidget *page, HalvetStore &store) -> QWidget * {
        return new AppErrorOverlay(store, page, page->parentWidget());
    };
    pieces.issueNotice = [](const AppIssue &issue, std::function<void()> dismiss, QWidget *parent) -> QWidget * {
        return new AppIssueNotice(issue, std::move(dismiss), parent);
    };
    return pieces;
}

void HalvetApp::passShortcutTime()
{
    if (const auto time = m_x11HotKeys ? m_x11HotKeys->lastEventTime() : std::nullopt)
        m_extra->setPendingUserTime(*time);
}

void HalvetApp::togglePanel()
{
    if (QWidget *standIn = panelStandIn()) {
        if (standsInWithLights(*standIn) && !standIn->isMinimized())
            standIn->showMinimized();
        else
            bringToFront(*standIn);
        return;
    }
    passShortcutTime();
    m_isPanelPresented.set(!m_isPanelPresented.value());
}

void HalvetApp::toggleAllLights()
{
    m_tasks.spawn(vantora::toggleAllLights(*m_store, [this] {
        passShortcutTime();
        m_isPanelPresented.set(true);
    }));
}

void HalvetApp::endSession()
{
    m_sessionRecovery.finish();
}

void HalvetApp::showAbout()
{
    // The About window is one of the application's windows: the commands' keys work in it.
    m_commands->addShortcutsTo(showAboutWindow());
}

void HalvetApp::confirmBridgeReset()
{
    m_isPanelPresented.set(true);
    // The panel opens on a later turn, in the order asked: the question waits for it and
    // belongs to it, not to where the hidden panel was.
    runtime::mainExecutor().post([this, alive = QPointer<HalvetApp>(this)] {
        if (alive)
            vantora::confirmBridgeReset(*m_store, *m_onboarding, m_panel.get(), m_tasks);
    });
}

QWidget *HalvetApp::makePanelContent(QWidget &window, PanelNavigation &navigation,
                                     std::optional<ui::ColorScheme> scheme)
{
    auto *host = new PanelHost;
    ui::Environment &scope = ui::Environment::scope(host);
    if (scheme)
        scope.set(ui::colorSchemeKey, *scheme);
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *panel = new LightsPanel(*m_store, m_onboarding.get(), navigation, m_defaults, host);
    layout->addWidget(panel);
    FocusedShortcuts::publish(&window, [panel] { panel->showShortcuts(); });
    if (auto *panelWindow = qobject_cast<statusitem::PanelWindow *>(&window))
        // The desktop's confirmation of a shortcut is a dialog of the panel's too: the panel
        // stays to show its outcome.
        panelWindow->setHoldsDialog(
            [this, panel] { return panel->holdsSheetOrAlert() || m_hotKeyCenter->isAwaitingDesktop(); });
    else
        new EscapeMinimises(window, [this, &window] { return standsInWithLights(window); });
    return host;
}

void HalvetApp::setUpWindows()
{
    m_windows = std::make_unique<AppWindows>([this](QWidget &window) { m_commands->addShortcutsTo(&window); });
    const ui::ColorScheme flagScheme = m_flags.has(LaunchFlag::dark) ? ui::ColorScheme::Dark : ui::ColorScheme::Light;
    const std::optional<ui::ColorScheme> welcomeScheme =
        m_flags.has(LaunchFlag::welcomePreview) ? std::optional(flagScheme) : std::nullopt;
    // The panel windows share the application's store, onboarding and navigation.
    m_windows->setContent(AppWindow::welcome, [this, welcomeScheme](QWidget &window) {
        return makePanelContent(window, *m_navigation, welcomeScheme);
    });
    m_windows->setContent(AppWindow::emptyPreview, [this, flagScheme](QWidget &window) {
        return makePanelContent(window, *m_navigation, flagScheme);
    });
    m_windows->setContent(AppWindow::preview, [this, flagScheme](QWidget &window) -> QWidget * {
        QWidget *panel = makePanelContent(window, *m_navigation, flagScheme);
        if (!m_flags.has(LaunchFlag::twoXPreview))
            return panel;
        // The scheme stays with the scaled panel, whose window is now the scene's.
        return new DemonstrationScale(panel);
    });
    // The two example windows make their own demonstration stores and panels.
    m_windows->setContent(AppWindow::motionPreview, [this](QWidget &) -> QWidget * {
        return new FooterMotionPreview({defaultLightServiceFactory(), defaultPairingServiceFactory(),
                                        applicationBridgeSearch(SearchSource::localNetwork)},
                                       m_defaults);
    });
    m_windows->setContent(AppWindow::brightnessPreview, [this](QWidget &) -> QWidget * {
        return new controls::RoomBrightnessPreview(
            controls::RoomBrightnessPreview::makeDemoStore(std::make_unique<PreviewConnectionStorage>()),
            [this](HalvetStore &store, QWidget *parent) -> QWidget * {
                auto *navigation = new PanelNavigation;
                auto *panel = new LightsPanel(store, nullptr, *navigation, m_defaults, parent);
                navigation->setParent(panel);
                return panel;
            });
    });
}

} // namespace vantora
