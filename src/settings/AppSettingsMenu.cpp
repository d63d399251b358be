#include "settings/AppSettingsMenu.h"

#include "settings/AboutView.h"
#include "settings/LoginItemController.h"
#include "settings/ReleaseChecker.h"

#include "controls/FocusRing.h"
#include "controls/HomePillSurface.h"
#include "runtime/UserDefaults.h"
#include "ui/Accessibility.h"
#include "ui/AccessibleMenus.h"
#include "ui/ApplicationQuit.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusReturn.h"
#include "ui/HoverTracker.h"
#include "ui/PlainToolTip.h"
#include "ui/SvgImage.h"
#include "welcome/BridgeResetControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace vantora {

namespace {

const ui::DynamicColor foreground{ui::colours::grey(0.3002), ui::colours::grey(0.76)};
const ui::Animation hoverAnimation = ui::Animation::easeInOut(0.16);

constexpr QSize pillSize{52, 30};
constexpr QSize plainSize{32, 32};
constexpr qreal iconSide = 16;

std::optional<BridgeResetControl> offeredReset(const QWidget *menu)
{
    return ui::Environment::of(menu).value(bridgeResetKey);
}

} // namespace

AppSettingsMenu::Services AppSettingsMenu::Services::application(
    runtime::UserDefaults &defaults, std::function<void(const QWidget &menu)> openShortcuts)
{
    return {
        &defaults,
        &ReleaseChecker::shared(),
        &LoginItemController::shared(),
        showAboutWindow,
        std::move(openShortcuts),
        ui::applicationQuitAction(),
    };
}

AppSettingsMenu::AppSettingsMenu(Style style, Services services, QWidget *parent)
    : QToolButton(parent)
    , m_style(style)
    , m_services(std::move(services))
    , m_hover(new ui::HoverTracker(this))
    , m_tint(this, "hoverTint", 0.0)
{
    Q_ASSERT(m_services.defaults && m_services.releaseChecker && m_services.loginItem && m_services.quit);
    // Before anything that tells assistive technologies of the button builds its element.
    ui::a11y::presentMenuButton(*this);
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(sizeHint());
    setAccessibleName(tr("vantora Settings"));
    ui::setPlainToolTip(*this, tr("vantora Settings"));
    buildMenu();

    connect(m_hover, &ui::HoverTracker::hoveredChanged, this, [this](bool hovered) {
        m_tint.animateTo(hovered ? 1.0 : 0.0, hoverAnimation);
    });
    connect(m_services.releaseChecker, &ReleaseChecker::isCheckingChanged, this,
            &AppSettingsMenu::followReleaseChecker);
    connect(m_services.loginItem, &LoginItemController::isEnabledChanged, this, &AppSettingsMenu::followLoginItem);
    connect(m_services.defaults, &runtime::UserDefaults::changed, this, [this](const QString &key) {
        if (key == hideUnavailableDevicesKey)
            followHideUnavailable();
    });
    // Changes made in the desktop's own settings show once the user comes back.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            m_services.loginItem->refresh();
    });
    followReleaseChecker();
    followLoginItem();
    followHideUnavailable();
    followBridgeReset();
}

void AppSettingsMenu::buildMenu()
{
    auto *entries = new QMenu(this);
    entries->setAccessibleName(tr("vantora Settings"));
    m_about = entries->addAction(tr("About vantora"), this, [this] { m_services.showAbout(); });
    m_updates = entries->addAction(QString(), this, [this] { m_services.releaseChecker->check(this); });
    entries->addSeparator();
    m_preferences = entries->addAction(tr("Preferences…"), this, [this] {
        if (m_services.openShortcuts)
            m_services.openShortcuts(*this);
    });
    m_startAtLogin = entries->addAction(tr("Start at Login"));
    m_startAtLogin->setCheckable(true);
    connect(m_startAtLogin, &QAction::triggered, this, [this](bool checked) {
        m_services.loginItem->setEnabled(checked, this);
        // The click flipped the check mark; what counts is what the desktop now holds.
        followLoginItem();
    });
    m_hideUnavailable = entries->addAction(tr("Hide unavailable devices"));
    m_hideUnavailable->setCheckable(true);
    connect(m_hideUnavailable, &QAction::triggered, this, [this](bool checked) {
        m_services.defaults->setBool(hideUnavailableDevicesKey, checked);
    });
    m_reset = entries->addAction(tr("Reset connection…"), this, [this] {
        if (const std::optional<BridgeResetControl> control = offeredReset(this); control && control->isEnabled)
            control->action();
    });
    entries->addSeparator();
    // The menu's own "Quit" holds the application's key only while the menu is open: closed, the
    // menu's entries count as the gear's, and two owners of Ctrl+Q in one window would make Qt
    // refuse the key. Open, the menu is the active popup and the window's Quit is not in play.
    m_quit = entries->addAction(tr("Quit"), m_services.quit, &QAction::trigger);
    m_quit->setShortcutVisibleInContextMenu(true);
    connect(entries, &QMenu::aboutToShow, m_quit, [this] { m_quit->setShortcut(m_services.quit->shortcut()); });
    connect(entries, &QMenu::aboutToHide, m_quit, [this] { m_quit->setShortcut({}); });
    // An open menu takes every key, and Qt fires no window's shortcut meanwhile: the key the
    // menu shows beside Quit is its own.
    entries->installEventFilter(this);

    connect(entries, &QMenu::aboutToShow, this, [this] {
        m_services.loginItem->refresh();
        followBridgeReset();
    });
    setMenu(entries);
}

void AppSettingsMenu::followReleaseChecker()
{
    const bool checking = m_services.releaseChecker->isChecking();
    m_updates->setText(checking ? tr("Checking for updates…") : tr("Check for updates"));
    m_updates->setEnabled(!checking);
}

void AppSettingsMenu::followLoginItem()
{
    m_startAtLogin->setChecked(m_services.loginItem->isEnabled());
}

void AppSettingsMenu::followHideUnavailable()
{
    m_hideUnavailable->setChecked(m_services.defaults->boolValue(hideUnavailableDevicesKey));
}

void AppSettingsMenu::followBridgeReset()
{
    const std::optional<BridgeResetControl> control = offeredReset(this);
    m_reset->setEnabled(control && control->isEnabled);
}

QSize AppSettingsMenu::sizeHint() const
{
    // The pill's shadows fall outside its 52 × 30 surface, so the frame grows by them.
    if (m_style == Style::pill)
        return pillSize.grownBy(controls::HomePillSurface::shadowMargins());
    return plainSize;
}

bool AppSettingsMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == menu() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Space chooses as Return, arriving as Return (ui::KeyboardConventions).
        const bool chooses = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (chooses && (menu()->activeAction() == m_about || menu()->activeAction() == m_updates)) {
            ui::a11y::passActivityOn(*window());
            // Qt would give the button the focus back as the menu closes, just before the
            // window that opens takes it, and a reader would read the button in between.
            ui::FocusReturn::handOver(*this);
        }
        if (!m_services.quit->shortcut().isEmpty()
            && QKeySequence(key->keyCombination()) == m_services.quit->shortcut()) {
            menu()->hide();
            m_quit->trigger();
            return true;
        }
    }
    return QToolButton::eventFilter(watched, event);
}

bool AppSettingsMenu::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType()
        && static_cast<ui::EnvironmentChangeEvent *>(event)->key() == bridgeResetKey.name())
        followBridgeReset();
    return QToolButton::event(event);
}

void AppSettingsMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const QRectF frame = m_style == Style::pill
        ? QRectF(rect()).marginsRemoved(QMarginsF(controls::HomePillSurface::shadowMargins()))
        : QRectF(rect());
    if (m_style == Style::pill)
        controls::HomePillSurface::paint(painter, frame, scheme, m_tint.value());
    const QRectF icon(frame.center() - QPointF(iconSide / 2, iconSide / 2), QSizeF(iconSide, iconSide));
    // Dark: the gear's shape in the light grey; light: the gear in its own colours.
    const std::optional<QColor> tint =
        scheme == ui::ColorScheme::Dark ? std::optional(foreground.resolve(scheme)) : std::nullopt;
    ui::SvgImage(ui::Image::SettingsIcon).paint(painter, icon, tint);
    if (m_keyboardFocus)
        controls::focusRing::paint(painter, this, frame);
}

void AppSettingsMenu::focusInEvent(QFocusEvent *event)
{
    // Back from its own menu the button keeps how it got the focus, and its ring with it.
    if (event->reason() != Qt::PopupFocusReason)
        m_keyboardFocus = controls::focusRing::cameByKeyboard(*event);
    QToolButton::focusInEvent(event);
}

void AppSettingsMenu::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        m_keyboardFocus = false;
    QToolButton::focusOutEvent(event);
}

void AppSettingsMenu::keyPressEvent(QKeyEvent *event)
{
    // Whatever gave the button its focus (Tab, or the focus given back by an alert or About
    // that closed), the key that opens the menu (Space, or Return as Space) shows the ring.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        m_keyboardFocus = true;
        update();
    }
    QToolButton::keyPressEvent(event);
}

void AppSettingsMenu::showEvent(QShowEvent *event)
{
    m_services.loginItem->refresh();
    followBridgeReset();
    QToolButton::showEvent(event);
}

} // namespace vantora
