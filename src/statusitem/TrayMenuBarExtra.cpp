#include "statusitem/TrayMenuBarExtra.h"

#include "statusitem/PanelPlacement.h"
#include "statusitem/PanelWindow.h"
#include "statusitem/StatusItemUtils.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>

namespace vantora::statusitem {

// The object that controls the extra: a window-style extra (not a menu), titled "vantora".
class TrayMenuBarExtra::ExtraController final : public Object {
public:
    ExtraController() : Object(QStringLiteral("MenuBarExtraController")) {}

    Mirror mirror() const override
    {
        auto configuration = std::make_shared<Mirror>();
        configuration->descendants = {
            {StatusItemUtils::isMenuBasedPath, false},
            {StatusItemUtils::labelKeyPath, QStringLiteral("vantora")},
        };
        Mirror mirror;
        mirror.superclassMirror = std::move(configuration);
        return mirror;
    }
};

// The window that holds the tray item.
class TrayMenuBarExtra::TrayWindow final : public Window {
public:
    explicit TrayWindow(std::shared_ptr<StatusItem> item)
        : Window(StatusItemUtils::statusBarWindowClass), m_item(std::move(item))
    {
    }
    Value valueForKey(const QString &key) const override
    {
        return key == StatusItemUtils::statusItemKey ? Value(ObjectPtr(m_item)) : Value();
    }
    bool isVisible() const override { return true; }
    void close() override {}

private:
    std::shared_ptr<StatusItem> m_item;
};

// The panel window as the lookups see it; closing it puts the panel away.
class TrayMenuBarExtra::ExtraWindow final : public Window {
public:
    ExtraWindow(std::shared_ptr<StatusItem> item, PanelWindow &panel)
        : Window(StatusItemUtils::extraWindowClass), m_item(std::move(item)), m_panel(&panel)
    {
    }
    Value valueForKey(const QString &key) const override
    {
        return key == StatusItemUtils::statusItemKey ? Value(ObjectPtr(m_item)) : Value();
    }
    bool isVisible() const override { return m_panel && m_panel->isShown(); }
    void close() override
    {
        if (m_panel)
            m_panel->putAway();
    }

private:
    std::shared_ptr<StatusItem> m_item;
    QPointer<PanelWindow> m_panel;
};

TrayMenuBarExtra::TrayMenuBarExtra(PlatformApplication &application, PanelWindow &panel, const QString &toolTip,
                                   runtime::Clock &clock, QObject *parent)
    : QObject(parent)
    , m_application(application)
    , m_panel(panel)
    , m_clock(clock)
    , m_toolTip(toolTip)
{
    auto button = std::make_shared<StatusBarButton>();
    button->setTarget(std::make_shared<ExtraController>());
    button->setClickAction([this] { togglePanel(); });
    m_item = std::make_shared<StatusItem>(StatusItemUtils::statusItemClass, std::move(button));
    m_trayWindow = std::make_shared<TrayWindow>(m_item);
    m_extraWindow = std::make_shared<ExtraWindow>(m_item, panel);
    m_application.addWindow(m_trayWindow);
    m_application.addWindow(m_extraWindow);

    connect(&panel, &PanelWindow::activated, this,
            [this] { m_application.post(WindowEvent::didBecomeKey, m_extraWindow); });
    connect(&panel, &PanelWindow::deactivated, this, [this] {
        // A panel on its way out (hidden by a click, a key, the tray's coming) loses the
        // activation as it goes.
        const bool goes = m_panel.isHidden() || !m_panel.isVisible();
        if (m_commandAwaitsMenu && !goes) {
            // The host's menu takes the activation as it goes, not the person: the panel
            // asks for it back once the host says the menu closed.
            m_lostActivationToMenu = true;
            return;
        }
        m_application.post(WindowEvent::didResignKey, m_extraWindow);
    });
    connect(&panel, &PanelWindow::dismissed, this,
            [this] { m_application.post(WindowEvent::didResignKey, m_extraWindow); });
    // The panel shows and hides by many ways (a click, a key, a command, the window manager),
    // not all of which go with a change of the activation: a panel that is not the active
    // window when it goes would otherwise still count as open.
    connect(&panel, &PanelWindow::shownChanged, this, [this](bool shown) {
        m_application.post(shown ? WindowEvent::didBecomeKey : WindowEvent::didResignKey, m_extraWindow);
    });
    panel.installEventFilter(this);
}

TrayMenuBarExtra::~TrayMenuBarExtra()
{
    m_application.removeWindow(m_extraWindow.get());
    m_application.removeWindow(m_trayWindow.get());
}

QSystemTrayIcon &TrayMenuBarExtra::xembedIcon()
{
    // The toolkit decides once per process, when its first tray icon is made, whether its
    // icons go over D-Bus, and does so where a StatusNotifierWatcher is on the bus then. The
    // icon is therefore made only once an X11 tray is wanted, which is while no watcher is
    // there; its icons then stay in X11 trays, and never show beside our own D-Bus item.
    if (!m_xembedIcon) {
        m_xembedIcon = new QSystemTrayIcon(this);
        m_xembedIcon->setToolTip(m_toolTip);
        m_xembedIcon->setContextMenu(m_contextMenu);
        connect(m_xembedIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            // The toolkit reports the second of two quick clicks as a double click alone: a
            // click all the same, which asks for the panel as the first did.
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                iconClicked(std::nullopt);
        });
    }
    return *m_xembedIcon;
}

void TrayMenuBarExtra::setXEmbedIconShown(bool shown)
{
    if (shown)
        xembedIcon().show();
    else if (m_xembedIcon)
        m_xembedIcon->hide();
}

void TrayMenuBarExtra::setContextMenu(QMenu *menu)
{
    if (m_contextMenu)
        m_contextMenu->removeEventFilter(this);
    m_contextMenu = menu;
    if (menu)
        menu->installEventFilter(this);
    if (m_xembedIcon)
        m_xembedIcon->setContextMenu(menu);
}

runtime::Task<void> TrayMenuBarExtra::followTrayHost(runtime::Duration startWait)
{
    // A tray that is there already needs no time to come, and an idle app no timer.
    if (!hasTrayHost())
        co_await m_clock.sleepFor(startWait);
    m_followsTrayHost = true;
    applyTrayHost();
}

void TrayMenuBarExtra::trayHostsChanged()
{
    // Until the start's wait is over, a tray that comes finds the panel waiting for it, and
    // one that goes may still come back.
    if (m_followsTrayHost)
        applyTrayHost();
}

bool TrayMenuBarExtra::hasTrayHost() const
{
    return m_trayHostCheck ? m_trayHostCheck() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayMenuBarExtra::applyTrayHost()
{
    const bool trayHost = hasTrayHost();
    const auto presentation =
        trayHost ? PanelWindow::Presentation::besideTrayIcon : PanelWindow::Presentation::normalWindow;
    if (m_panel.presentation() == presentation)
        return;
    if (!trayHost) {
        m_panel.setPresentation(presentation);
        if (!m_panel.isShown() && !(m_standsIn && m_standsIn()))
            m_item->button()->performClick();
        return;
    }
    // The icon is there again: the window goes to rest in the tray, where a click opens the
    // panel beside the icon.
    m_panel.hide();
    m_panel.setPresentation(presentation);
}

void TrayMenuBarExtra::iconClicked(std::optional<QPoint> at)
{
    // The click asks for the panel itself, whatever a command waits for: one that waits to
    // show, unseen, shows now.
    const bool waitsToShow = std::exchange(m_opensAfterMenu, false);
    endCommandWait();
    // The pointer comes last: under XWayland it is where the pointer last crossed one of the
    // X server's windows, which may be far from the tray.
    m_lastAnchor = trayIconGeometry();
    if (!m_lastAnchor)
        m_lastAnchor = QRect(at.value_or(QCursor::pos()), QSize(1, 1));
    if (waitsToShow)
        present();
    else
        m_item->button()->performClick();
}

void TrayMenuBarExtra::togglePanel()
{
    const auto &button = m_item->button();
    // A panel that waits to show counts as shown: asked to hide, it no longer waits.
    if (m_panel.isShown() || std::exchange(m_opensAfterMenu, false)) {
        m_panel.putAway();
        button->setState(ButtonState::off);
        return;
    }
    if (m_commandAwaitsMenu)
        m_opensAfterMenu = true;
    else
        present();
    button->setState(ButtonState::on);
}

void TrayMenuBarExtra::present()
{
    m_panel.adjustSize();
    m_panel.present(placement(), std::exchange(m_pendingUserTime, std::nullopt));
}

void TrayMenuBarExtra::commandShowsPanel()
{
    if (m_hostMenuShown)
        m_commandAwaitsMenu = true;
}

void TrayMenuBarExtra::hostMenuShownChanged(bool shown)
{
    m_hostMenuShown = shown;
    if (shown || !m_commandAwaitsMenu)
        return;
    const bool opens = m_opensAfterMenu;
    const bool takesActivationBack = m_lostActivationToMenu && m_panel.isVisible();
    endCommandWait();
    if (opens)
        present();
    else if (takesActivationBack)
        m_panel.present(std::nullopt, std::nullopt);
}

void TrayMenuBarExtra::endCommandWait()
{
    m_commandAwaitsMenu = false;
    m_opensAfterMenu = false;
    m_lostActivationToMenu = false;
}

std::optional<QRect> TrayMenuBarExtra::trayIconGeometry() const
{
    // Known only for icons embedded in an X11 tray; a StatusNotifierItem host keeps it.
    if (!m_xembedIcon)
        return std::nullopt;
    const QRect geometry = m_xembedIcon->geometry();
    if (!m_xembedIcon->isVisible() || !geometry.isValid() || geometry.isEmpty())
        return std::nullopt;
    return geometry;
}

QPoint TrayMenuBarExtra::placement()
{
    const auto screenAt = [](QPoint point) {
        QScreen *screen = QGuiApplication::screenAt(point);
        return screen ? screen : QGuiApplication::primaryScreen();
    };
    const auto availableAt = [&](QPoint point) {
        QScreen *screen = screenAt(point);
        return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    };
    const QPoint pointer = QCursor::pos();
    // A key or another launch gives no click to go by, but the icon may be known all the same.
    QScreen *pointerScreen = screenAt(pointer);
    const QRect pointerArea = availableAt(pointer);
    const QRect anchor = panelAnchor(trayIconGeometry(), m_lastAnchor,
                                     pointerScreen ? pointerScreen->geometry() : pointerArea, pointerArea);
    const QRect available = availableAt(anchor.center());
    const QPoint position = panelPosition(m_panel.size(), anchor, pointer, available);
    m_placement = Placement{anchor, available, position};
    return position;
}

bool TrayMenuBarExtra::eventFilter(QObject *watched, QEvent *event)
{
    // Our own menu in an X11 tray is the host's menu there.
    if (watched == m_contextMenu && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        hostMenuShownChanged(event->type() == QEvent::Show);
    // The panel keeps its top-left corner when its content grows (lights arrive, a banner or
    // another page shows): placed above an icon at the bottom, it would cover the icon and
    // run off the screen.
    if (watched != &m_panel)
        return QObject::eventFilter(watched, event);
    // A key's time is for the opening it asked for; a key that found the panel open (or
    // closed it) opened nothing, and its time is no use to a later opening.
    if (event->type() == QEvent::Hide) {
        m_pendingUserTime.reset();
        endCommandWait();
    }
    if (!m_placement || !m_panel.isVisible())
        return QObject::eventFilter(watched, event);
    // A panel the user dragged elsewhere stays where the user put it.
    if (event->type() == QEvent::Move && m_panel.pos() != m_placement->placedAt)
        m_placement.reset();
    else if (event->type() == QEvent::Resize && m_panel.presentation() == PanelWindow::Presentation::besideTrayIcon) {
        m_placement->placedAt = panelPosition(m_panel.size(), m_placement->anchor, m_placement->anchor.topLeft(),
                                              m_placement->available);
        m_panel.move(m_placement->placedAt);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantora::statusitem
