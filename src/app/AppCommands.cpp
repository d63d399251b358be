#include "app/AppCommands.h"

#include "app/CommandRules.h"
#include "onboarding/BridgeOnboarding.h"
#include "statusitem/BoolBinding.h"
#include "store/HalvetStore.h"
#include "app/FocusedShortcuts.h"
#include "panel/LightsRefreshOutcome.h"
#include "panel/PanelNavigation.h"
#include "settings/ReleaseChecker.h"
#include "ui/ApplicationQuit.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace vantora {

AppCommands::AppCommands(HalvetStore &store, BridgeOnboarding &onboarding, PanelNavigation &navigation,
                         statusitem::BoolBinding &isPanelPresented, Hooks hooks, runtime::Executor &executor,
                         QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_onboarding(onboarding)
    , m_navigation(navigation)
    , m_isPanelPresented(isPanelPresented)
    , m_showPanel(new QAction(tr("Show vantora"), this))
    , m_about(new QAction(tr("About vantora"), this))
    , m_checkForUpdates(new QAction(tr("Check for updates"), this))
    , m_preferences(new QAction(tr("Preferences…"), this))
    , m_resetConnection(new QAction(tr("Reset connection…"), this))
    , m_refreshLights(new QAction(tr("Refresh lights"), this))
    // The settings menus hold this one too: one owner for Ctrl+Q.
    , m_quit(ui::applicationQuitAction())
    , m_panelShowsCommand(std::move(hooks.panelShowsCommand))
    , m_tasks(executor)
{
    m_preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_refreshLights->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    for (QAction *action : {m_preferences, m_refreshLights})
        action->setShortcutContext(Qt::WindowShortcut);

    // Only shows: hosts whose menus leave the panel up offer it while the panel is open.
    connect(m_showPanel, &QAction::triggered, this, [this] {
        if (m_panelShowsCommand)
            m_panelShowsCommand();
        m_isPanelPresented.set(true);
    });
    connect(m_about, &QAction::triggered, this, [about = hooks.about] {
        if (about)
            about();
    });
    connect(m_checkForUpdates, &QAction::triggered, this, [check = hooks.checkForUpdates] {
        if (check)
            check();
    });
    connect(&ReleaseChecker::shared(), &ReleaseChecker::isCheckingChanged, this, &AppCommands::updateEnabled);
    connect(m_preferences, &QAction::triggered, this, [this] { openPreferences(); });
    connect(m_resetConnection, &QAction::triggered, this, [reset = hooks.resetConnection] {
        if (reset)
            reset();
    });
    connect(m_refreshLights, &QAction::triggered, this, [this] {
        // The rule is checked again: a key shortcut may come before the action's state caught up.
        if (commandRules::canRefreshLights(m_store.isConnected(), m_store.isWorking()))
            m_tasks.spawn(refreshLightsAndTell(m_store));
    });

    for (auto signal : {&HalvetStore::connectionChanged, &HalvetStore::isRefreshingChanged,
                        &HalvetStore::isManagingConnectionChanged, &HalvetStore::isChangingPowerChanged,
                        &HalvetStore::updatingLightIDsChanged})
        connect(&m_store, signal, this, &AppCommands::updateEnabled);
    connect(&m_onboarding, &BridgeOnboarding::phaseChanged, this, &AppCommands::updateEnabled);
    updateEnabled();
}

AppCommands::~AppCommands() = default;

void AppCommands::openPreferences()
{
    if (m_panelShowsCommand)
        m_panelShowsCommand();
    if (const auto openShortcuts = FocusedShortcuts::ofActiveWindow()) {
        (*openShortcuts)();
        return;
    }
    m_navigation.setShowsShortcuts(true);
    m_isPanelPresented.set(true);
}

void AppCommands::updateEnabled()
{
    const bool checking = ReleaseChecker::shared().isChecking();
    m_checkForUpdates->setEnabled(!checking);
    m_checkForUpdates->setText(checking ? tr("Checking for updates…") : tr("Check for updates"));
    m_resetConnection->setEnabled(commandRules::canResetConnection(m_store.canForgetBridge(), m_onboarding.phase()));
    m_refreshLights->setEnabled(commandRules::canRefreshLights(m_store.isConnected(), m_store.isWorking()));
}

QMenu *AppCommands::makeMenu(QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->addAction(m_showPanel);
    menu->addSeparator();
    menu->addAction(m_about);
    menu->addAction(m_checkForUpdates);
    menu->addAction(m_preferences);
    menu->addAction(m_resetConnection);
    menu->addSeparator();
    menu->addAction(m_refreshLights);
    menu->addSeparator();
    menu->addAction(m_quit);
    return menu;
}

void AppCommands::addShortcutsTo(QWidget *window) const
{
    window->addActions({m_preferences, m_refreshLights, m_quit});
}

} // namespace vantora
