#include "HotKeyCenter.h"

#include "shortcuts/HotKey.h"
#include "shortcuts/Key.h"
#include "shortcuts/MenuTracker.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/ShortcutNotifications.h"

#include "runtime/Clock.h"
#include "runtime/NotificationCenter.h"

#include <QGuiApplication>

#include <algorithm>

namespace vantora::GlobalShortcuts {

namespace {

// The modifiers a key is compared with. Keyboards add Fn to the F keys, arrows and
// navigation keys by themselves, so it is ignored there.
qint64 comparedModifiers(qint64 carbonKeyCode, qint64 carbonModifiers)
{
    const qint64 modifiers = normalizedCarbonModifiers(carbonModifiers);
    return isFunctionKeyCode(carbonKeyCode) ? modifiers & ~CarbonModifier::function : modifiers;
}

// What the system is asked to grab. X has no Fn modifier: keys that carry Fn by themselves
// are registered without it, and any other key with Fn is refused by the backend.
quint32 registeredModifiers(const Shortcut &shortcut)
{
    const qint64 modifiers = isFunctionKeyCode(shortcut.carbonKeyCode)
        ? shortcut.carbonModifiers & ~CarbonModifier::function
        : shortcut.carbonModifiers;
    return quint32(modifiers);
}

} // namespace

HotKeyCenter::HotKeyCenter(platform::HotKeyBackend &backend, const platform::KeyboardLayout &layout,
                           runtime::NotificationCenter &notifications, runtime::Clock &clock,
                           runtime::Executor &executor, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
    , m_layout(layout)
    , m_clock(clock)
    , m_tasks(executor)
{
    notifications.addObserver(this, MenuTracker::menuDidBeginTracking, [this](const auto &) { setMenuOpen(true); });
    notifications.addObserver(this, MenuTracker::menuDidEndTracking, [this](const auto &) { setMenuOpen(false); });
    notifications.addObserver(this, shortcutByNameDidChange, [this](const auto &) { m_backend.actionsChanged(); });
    new MenuTracker(notifications, this);
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                endHolds(m_heldKeys);
        });
    }
}

HotKeyCenter::~HotKeyCenter()
{
    for (const auto &hotKey : liveHotKeys()) {
        unregisterFromSystem(*hotKey);
        hotKey->m_centre = nullptr;
    }
    if (m_isHandlerInstalled) {
        m_backend.setEventsAttached(false);
        m_backend.installHandler({});
    }
}

bool HotKeyCenter::registerHotKey(const std::shared_ptr<HotKey> &hotKey)
{
    Q_ASSERT(hotKey && hotKey->m_centre == this);
    if (!registerWithSystem(*hotKey))
        return false;
    m_hotKeys[hotKey->id()] = hotKey;

    if (!m_isHandlerInstalled)
        m_isHandlerInstalled = m_backend.installHandler([this](const platform::HotKeyEvent &event) {
            handleHotKeyEvent(event);
        });
    if (!m_isHandlerInstalled) {
        // A key whose presses can never reach us does not work, whatever the system says.
        unregisterFromSystem(*hotKey);
        m_hotKeys.erase(hotKey->id());
        return false;
    }
    applyMode();
    return true;
}

void HotKeyCenter::setEnabled(bool enabled)
{
    if (m_isEnabled == enabled)
        return;
    m_isEnabled = enabled;
    updateMode();
}

void HotKeyCenter::setMenuOpen(bool open)
{
    if (m_isMenuOpen == open)
        return;
    m_isMenuOpen = open;
    updateMode();
}

void HotKeyCenter::updateMode()
{
    const Mode previous = m_mode;
    m_mode = !m_isEnabled ? Mode::disabled : m_isMenuOpen ? Mode::menuOpen : Mode::normal;
    // Before the first registration there is nothing to apply; it applies the mode itself.
    if (m_mode != previous && m_isHandlerInstalled)
        applyMode();
}

// A desktop that decides (through its portal) takes its shortcuts' keys before any window of
// ours sees them, an open menu's included (Wayland): they stay with it while a menu is open.
// Our own key events are matched too, for keys an open menu's grab takes first (X11).
void HotKeyCenter::applyMode()
{
    const bool systemKeys = m_mode == Mode::normal || (m_mode == Mode::menuOpen && m_backend.desktopDecides());
    if (systemKeys)
        registerAll();
    else
        unregisterAll();
    setHotKeyEventHandlingEnabled(systemKeys);
    setOwnKeyEventHandlingEnabled(m_mode == Mode::menuOpen);
}

void HotKeyCenter::registerAll()
{
    // Strong references for the whole pass: a failure callback may drop its hot key's owner.
    const auto live = liveHotKeys();
    for (const auto &hotKey : live) {
        if (isHeld(hotKey->shortcut().carbonKeyCode)) {
            unregisterFromSystem(*hotKey);
            continue;
        }
        if (hotKey->m_registration || registerWithSystem(*hotKey))
            continue;
        m_hotKeys.erase(hotKey->id());
        if (hotKey->m_onRegistrationFailed)
            hotKey->m_onRegistrationFailed();
    }
}

void HotKeyCenter::unregisterAll()
{
    for (const auto &hotKey : liveHotKeys())
        unregisterFromSystem(*hotKey);
}

void HotKeyCenter::setHotKeyEventHandlingEnabled(bool enabled)
{
    if (m_isHotKeyEventHandlingEnabled == enabled)
        return;
    m_isHotKeyEventHandlingEnabled = enabled;
    m_backend.setEventsAttached(enabled);
}

void HotKeyCenter::setOwnKeyEventHandlingEnabled(bool enabled)
{
    if (m_isOwnKeyEventHandlingEnabled == enabled)
        return;
    m_isOwnKeyEventHandlingEnabled = enabled;
    m_keysHeldInMenu.clear();
    updateOwnKeyEvents();
}

void HotKeyCenter::updateOwnKeyEvents()
{
    const bool wanted = m_isOwnKeyEventHandlingEnabled || !m_heldKeys.empty();
    if (!m_ownKeyEvents && !wanted)
        return;
    if (!m_ownKeyEvents) {
        m_ownKeyEvents = new LocalEventMonitor({EventType::keyDown, EventType::keyUp}, m_layout,
                                               [this](const KeyEvent &event) { return handleKeyEvent(event); }, this);
    }
    if (wanted)
        m_ownKeyEvents->start();
    else
        m_ownKeyEvents->stop();
}

void HotKeyCenter::holdUntilReleased(qint64 carbonKeyCode)
{
    if (!m_heldKeys.insert(carbonKeyCode).second)
        return;
    if (m_mode == Mode::normal && m_isHandlerInstalled)
        registerAll();
    updateOwnKeyEvents();
}

void HotKeyCenter::noticeHeldKey(const KeyEvent &event)
{
    const qint64 key = event.carbonKeyCode;
    // Any press, repeat or not, says the key is still down.
    if (event.type == EventType::keyDown) {
        if (auto pending = m_pendingReleases.extract(key))
            pending.mapped().cancel();
        return;
    }
    if (event.isRepeat || m_pendingReleases.contains(key))
        return;
    m_pendingReleases.emplace(key, m_tasks.spawn(endHoldOnceSettled(key)));
}

runtime::Task<void> HotKeyCenter::endHoldOnceSettled(qint64 carbonKeyCode)
{
    co_await m_clock.sleepFor(2 * m_backend.keyRepeat().interval);
    m_pendingReleases.erase(carbonKeyCode);
    endHolds({carbonKeyCode});
}

void HotKeyCenter::endHolds(const std::set<qint64> &keys)
{
    if (keys.empty())
        return;
    // A copy: `keys` may be the held set itself.
    for (const qint64 key : std::set<qint64>(keys)) {
        m_heldKeys.erase(key);
        if (auto pending = m_pendingReleases.extract(key))
            pending.mapped().cancel();
    }
    if (m_mode == Mode::normal && m_isHandlerInstalled)
        registerAll();
    updateOwnKeyEvents();
}

bool HotKeyCenter::registerWithSystem(HotKey &hotKey)
{
    const platform::HotKeyRegistration registration = m_backend.registerHotKey(
        quint32(hotKey.shortcut().carbonKeyCode), registeredModifiers(hotKey.shortcut()), hotKey.id());
    if (!registration.succeeded())
        return false;
    hotKey.m_registration = registration.ref;
    return true;
}

void HotKeyCenter::unregisterFromSystem(HotKey &hotKey)
{
    if (const auto registration = std::exchange(hotKey.m_registration, std::nullopt))
        m_backend.unregisterHotKey(*registration);
}

void HotKeyCenter::forget(HotKey &hotKey)
{
    unregisterFromSystem(hotKey);
    m_hotKeys.erase(hotKey.id());
}

bool HotKeyCenter::isTakenByAnotherProgram(const Shortcut &shortcut) const
{
    return m_backend.isTakenByAnotherProgram(quint32(shortcut.carbonKeyCode), registeredModifiers(shortcut));
}

std::optional<platform::DesktopBinding> HotKeyCenter::desktopBinding(const Shortcut &shortcut) const
{
    return m_backend.desktopBinding(quint32(shortcut.carbonKeyCode), registeredModifiers(shortcut));
}

bool HotKeyCenter::isAwaitingDesktop() const
{
    if (!m_backend.desktopDecides())
        return false;
    const auto live = liveHotKeys();
    return std::any_of(live.begin(), live.end(), [this](const std::shared_ptr<HotKey> &hotKey) {
        const auto binding = desktopBinding(hotKey->shortcut());
        return !binding || binding->state == platform::DesktopBinding::State::asking;
    });
}

std::optional<QString> HotKeyCenter::desktopTriggerInstead(const Shortcut &shortcut) const
{
    const auto binding = desktopBinding(shortcut);
    if (!binding || binding->state == platform::DesktopBinding::State::asking)
        return std::nullopt;
    if (binding->state == platform::DesktopBinding::State::refused)
        return QString();
    // Bound, in words we could not read: nothing says the keys differ.
    if (binding->trigger.isEmpty())
        return std::nullopt;
    // Desktops word the keys their own way ("Ctrl+Alt+L"); compared as key sequences.
    const auto ours = shortcut.keySequence(m_layout);
    if (ours && QKeySequence::fromString(binding->trigger, QKeySequence::PortableText) == *ours)
        return std::nullopt;
    return binding->trigger;
}

void HotKeyCenter::handleHotKeyEvent(const platform::HotKeyEvent &event)
{
    const auto entry = m_hotKeys.find(event.hotKeyId);
    // Held for the call: the action may drop the hot key's owner.
    const std::shared_ptr<HotKey> hotKey = entry == m_hotKeys.end() ? nullptr : entry->second.lock();
    if (!hotKey || isHeld(hotKey->shortcut().carbonKeyCode))
        return;
    if (event.kind == platform::HotKeyEvent::Kind::pressed)
        hotKey->keyDown();
    else
        hotKey->keyUp();
}

EventDisposition HotKeyCenter::handleKeyEvent(const KeyEvent &event)
{
    if (isHeld(event.carbonKeyCode)) {
        noticeHeldKey(event);
        return EventDisposition::passOn;
    }
    if (event.type == EventType::keyDown && event.isRepeat)
        return EventDisposition::passOn;
    if (!m_isOwnKeyEventHandlingEnabled)
        return EventDisposition::passOn;
    if (event.type == EventType::keyUp) {
        // Released by key alone, as the system does it: people often let go of the
        // modifiers first.
        if (auto held = m_keysHeldInMenu.extract(event.carbonKeyCode)) {
            if (const auto hotKey = held.mapped().lock()) {
                hotKey->keyUp();
                return EventDisposition::consume;
            }
        }
    }
    // Caps Lock and the numeric pad flag drop out with the conversion.
    const qint64 modifiers = comparedModifiers(event.carbonKeyCode, carbonModifiers(event.modifierFlags));
    for (const auto &hotKey : liveHotKeys()) {
        const Shortcut &shortcut = hotKey->shortcut();
        if (shortcut.carbonKeyCode != event.carbonKeyCode
            || comparedModifiers(shortcut.carbonKeyCode, shortcut.carbonModifiers) != modifiers)
            continue;
        if (event.type == EventType::keyDown) {
            m_keysHeldInMenu[event.carbonKeyCode] = hotKey;
            hotKey->keyDown();
        } else {
            hotKey->keyUp();
        }
        return EventDisposition::consume;
    }
    return EventDisposition::passOn;
}

std::vector<std::shared_ptr<HotKey>> HotKeyCenter::liveHotKeys() const
{
    std::vector<std::shared_ptr<HotKey>> live;
    for (const auto &[id, weak] : m_hotKeys) {
        if (auto hotKey = weak.lock())
            live.push_back(std::move(hotKey));
    }
    return live;
}

} // namespace vantora::GlobalShortcuts
